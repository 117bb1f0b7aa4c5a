#include "SeriesJoin.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstring>

#include "SaveRules.h"
#include "engine/ScrollJoin.h"

namespace varnel {

SeriesJoin::Outcome SeriesJoin::joinFiles(const QStringList& paths)
{
    Outcome o;
    QList<QImage> images;
    std::vector<int> depths;
    for (const QString& path : paths) {
        Picture p;
        if (!p.load(path)) {
            const QString name = QFileInfo(path).fileName();
            o.error = QStringLiteral("%1 を画像として読めません").arg(name);
            o.englishError = QStringLiteral("cannot read %1 as a picture").arg(path);
            return o;
        }
        images << p.image();
        depths.push_back(p.bitsPerPixel());
    }
    const ScrollJoin::Result r = ScrollJoin::join(images);
    if (!r.ok()) {
        o.error = r.error;
        const int i = r.failedPair;
        switch (r.refusal) {
        case ScrollJoin::Refusal::SizesDiffer:
            o.englishError = QStringLiteral("%1 (%2 x %3) and %4 (%5 x %6) differ in size and cannot be joined")
                                 .arg(paths[i]).arg(images[i].width()).arg(images[i].height())
                                 .arg(paths[i + 1]).arg(images[i + 1].width()).arg(images[i + 1].height());
            break;
        case ScrollJoin::Refusal::NoOverlap:
            o.englishError = QStringLiteral("no overlap of at least %1 lines was found between %2 and %3")
                                 .arg(ScrollJoin::kMinOverlap).arg(paths[i], paths[i + 1]);
            break;
        case ScrollJoin::Refusal::TooLong:
            o.englishError = QStringLiteral("the joined picture would be longer than %1 pixels").arg(Picture::kMaxSide);
            break;
        default:
            o.englishError = QStringLiteral("the pictures cannot be joined");
        }
        return o;
    }
    // One depth for all keeps it; mixed depths give true colour.
    const bool oneDepth = std::all_of(depths.begin(), depths.end(), [&](int d) { return d == depths[0]; });
    o.picture.setImage(r.image, oneDepth ? depths[0] : (r.image.hasAlphaChannel() ? 32 : 24));
    if (!o.picture.hasPicture()) {
        o.error = QStringLiteral("つないだ画像を作れません");
        o.englishError = QStringLiteral("the joined picture cannot be made");
    }
    return o;
}

void JoinCommand::apply(PictureDocument& doc)
{
    if (!m_joined.hasPicture())
        return;
    doc.picture() = std::move(m_joined);
    doc.range = {};
    doc.readDepthCode();
    doc.filePath.clear();
}

int SeriesJoin::run(const QString& output, const QStringList& files, QTextStream& out, QTextStream& err)
{
    Outcome o = joinFiles(files);
    if (!o.englishError.isEmpty()) {
        err << "varnel: " << o.englishError << Qt::endl;
        return 1;
    }
    const QString ext = SaveRules::FileExtension(output);
    if (const int code = SaveRules::conversionFor(ext, o.picture.depthCode());
        code != 0 && !o.picture.convertDepth(code, true)) {
        err << "varnel: the joined picture cannot be brought to the depth " << ext << " keeps" << Qt::endl;
        return 1;
    }
    int error = 0;
    if (!o.picture.save(output, SaveRules::format(ext), SaveRules::quality(ext), &error)) {
        err << "varnel: cannot write " << output << ": "
            << (error ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("the picture cannot be encoded"))
            << Qt::endl;
        return 1;
    }
    out << "joined " << files.size() << " pictures into " << output << " (" << o.picture.width() << " x "
        << o.picture.height() << ")" << Qt::endl;
    return 0;
}

} // namespace varnel
