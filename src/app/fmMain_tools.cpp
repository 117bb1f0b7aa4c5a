// The window's own tools: joining a scrolled series from the work-folder
// list, and reading the text in the picture. Neither is a macro step.
#include "fmMain.h"


#include "capture/WorkFolderView.h"
#include "editing/EditGeometry.h"
#include "editing/PictureSurface.h"
#include "editing/SeriesJoin.h"
#include "editing/TextReadBox.h"
#include "editing/TextReader.h"

namespace varnel {

void fmMain::JoinSelectedFiles()
{
    const QStringList files = m_listView->selectedPaths();
    if (files.size() < 2) {
        m_platform.dialogs->message(QStringLiteral(
            "つなぐ画像を作業ﾌｫﾙﾀﾞの一覧で2つ以上選んでください (Ctrl キーまたは Shift キーを押しながらクリック)"));
        return;
    }
    SeriesJoin::Outcome o;
    {
        BusyScope busy(this);
        o = SeriesJoin::joinFiles(files);
    }
    if (!o.error.isEmpty()) {
        m_platform.dialogs->message(o.error);
        return;
    }
    JoinCommand command(std::move(o.picture));
    ClearRange();
    RunEdit(command);
}

TextReader* fmMain::textReader()
{
    if (!m_textReader) {
        m_textReader = new TextReader({}, this);
        connect(m_textReader, &TextReader::finished, this,
                [this](const TextReader::Result& r) { onTextRead(r.ok ? r.text : QString(), r.error); });
    }
    return m_textReader;
}

void fmMain::ReadPictureText()
{
    if (!ikImg->hasPicture()) {
        m_platform.dialogs->message(QStringLiteral("読み取る画像がありません"));
        return;
    }
    TextReader* reader = textReader();
    if (reader->isRunning())
        return; // the answer to the last request is still coming
    if (reader->executable().isEmpty()) {
        m_platform.dialogs->message(TextReader::missingMessage());
        return;
    }
    // The range only: a box drawn on the overlay stays a shape.
    const QRect range =
        EditGeometry::rangePixels(ikImg->selLeft(), ikImg->selTop(), ikImg->selRight(), ikImg->selBottom());
    const QImage& whole = ikImg->picture().image();
    const QRect part = range.isEmpty() ? whole.rect() : range.intersected(whole.rect());
    reader->start(part == whole.rect() ? whole : whole.copy(part));
}

void fmMain::onTextRead(const QString& text, const QString& error)
{
    if (!error.isEmpty()) {
        m_platform.dialogs->message(error);
        return;
    }
    if (text.trimmed().isEmpty()) {
        m_platform.dialogs->message(QStringLiteral("文字は見つかりませんでした"));
        return;
    }
    m_platform.clipboard->putText(text);
    (new TextReadBox(text, this))->show();
}

} // namespace varnel
