#include "PictureSaver.h"

#include "EditCommands.h"
#include "SaveRules.h"

namespace varnel {

QString PictureSaver::chosenName(const QString& typed, int formatIndex)
{
    QString path = SaveRules::withFormatExtension(typed, formatIndex);
    SaveRules::LowerCaseExtension(path);
    return path;
}

bool PictureSaver::save(PictureDocument& doc, QString& path)
{
    if (!doc.hasPicture())
        return false;
    QString ext = SaveRules::FileExtension(path);
    if (ext.isEmpty()) {
        ext = QStringLiteral("bmp");
        path += QStringLiteral(".bmp");
    }
    // The conversion works on a copy: a save that fails leaves the picture
    // as it was.
    Picture out = doc.picture();
    const int target = SaveRules::conversionFor(ext, out.depthCode());
    if ((target != 0 && !out.convertDepth(target, true))
        || !out.save(path, SaveRules::format(ext), SaveRules::quality(ext)))
        return false;
    if (target != 0) {
        TakePictureCommand keep(std::move(out), path);
        EditRunner::run(doc, keep);
    } else {
        doc.markSaved(path);
    }
    return true;
}

} // namespace varnel
