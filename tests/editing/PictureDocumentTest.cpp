// The edit commands against the picture document, without a window.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "editing/ColourDepth.h"
#include "editing/Drawing.h"
#include "editing/EditCommands.h"
#include "editing/PictureDocument.h"
#include "TestFiles.h"

using namespace varnel;

namespace {

using testfiles::gradient;

// A document as a freshly opened file holds it.
void open(PictureDocument& doc, const QImage& img, int depth = 0)
{
    Picture p(img);
    if (depth)
        ColourDepth::convert(p, depth);
    doc.replace(std::move(p), QStringLiteral("/pictures/a.bmp"), false);
}

QImage rgb(const PictureDocument& doc)
{
    return doc.picture().image().convertToFormat(QImage::Format_RGB32);
}

class Throwing : public EditCommand {
public:
    void apply(PictureDocument& doc) override
    {
        doc.picture().rotate(9000, false, false, false, qRgb(255, 255, 255));
        throw std::runtime_error("broke");
    }
};

} // namespace

TEST(PictureDocument, EveryCommandThatChangesThePictureLeavesItToSaveAndOneUndoAway)
{
    const QImage src = gradient();
    Drawing drawing;
    DrawnShape box;
    box.points = {QPointF(2, 2), QPointF(12, 9)};
    drawing.add(box);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<EditCommand>()> make;
    };
    const Case cases[] = {
        {"trim", [] { return std::make_unique<TrimCommand>(); }},
        {"relative", [] { return std::make_unique<HighlightCommand>(0); }},
        {"marker", [] { return std::make_unique<HighlightCommand>(1); }},
        {"mosaic", [] { return std::make_unique<MosaicCommand>(); }},
        {"frame", [] { return std::make_unique<FrameCommand>(); }},
        {"resize", [] { return std::make_unique<ResizeCommand>(2); }},
        {"stitch", [] { return std::make_unique<StitchCommand>(1); }},
        {"rotate", [] { return std::make_unique<RotateCommand>(QStringLiteral("右90度")); }},
        {"depth", [] { return std::make_unique<ColourDepthCommand>(8); }},
        {"merge", [&] { return std::make_unique<MergeDrawingCommand>(drawing); }},
        {"paste", [] { return std::make_unique<PasteCommand>(Picture(gradient().mirrored(true, false))); }},
    };
    for (const Case& c : cases) {
        PictureDocument doc;
        open(doc, src);
        ASSERT_EQ(doc.state(), 1);
        doc.range = {5, 5, 20, 15};
        auto command = c.make();
        const EditOutcome out = EditRunner::run(doc, *command);
        EXPECT_TRUE(out.changed) << c.name;
        EXPECT_EQ(doc.state(), 2) << c.name;
        EXPECT_EQ(doc.history.undoCount(), 1) << c.name;
        ASSERT_TRUE(doc.undo()) << c.name;
        EXPECT_EQ(rgb(doc), src) << c.name;
        EXPECT_EQ(doc.state(), 1) << c.name << ": back to what the file holds";
        ASSERT_TRUE(doc.redo()) << c.name;
        EXPECT_EQ(doc.state(), 2) << c.name;
    }
}

TEST(PictureDocument, ACommandThatChangesNothingLeavesNoStepAndTheStateAlone)
{
    PictureDocument doc;
    open(doc, gradient());
    TrimCommand trim; // no range
    RotateCommand unknown(QStringLiteral("右45度"));
    ColourDepthCommand same(24);
    for (EditCommand* c : std::initializer_list<EditCommand*>{&trim, &unknown, &same})
        EXPECT_FALSE(EditRunner::run(doc, *c).changed);
    EXPECT_EQ(doc.state(), 1);
    EXPECT_FALSE(doc.history.canUndo());
}

TEST(PictureDocument, ACommandThatBreaksDownPutsThePictureBack)
{
    PictureDocument doc;
    open(doc, gradient());
    doc.range = {1, 2, 3, 4};
    Throwing broken;
    const EditOutcome out = EditRunner::run(doc, broken);
    EXPECT_TRUE(out.failed);
    EXPECT_FALSE(out.error.isEmpty());
    EXPECT_EQ(rgb(doc), gradient());
    EXPECT_EQ(doc.range.right, 3);
    EXPECT_EQ(doc.state(), 1);
    EXPECT_FALSE(doc.history.canUndo());
}

TEST(PictureDocument, APastedPictureIsNoFileAndTheOneBeforeComesBack)
{
    PictureDocument doc;
    open(doc, gradient());
    PasteCommand same{Picture(gradient())};
    EXPECT_FALSE(EditRunner::run(doc, same).changed) << "the same pixels again";
    EXPECT_EQ(doc.filePath, QStringLiteral("/pictures/a.bmp"));

    QImage grey(30, 20, QImage::Format_RGB32);
    grey.fill(qRgb(90, 90, 90));
    PasteCommand paste(Picture(grey), 8); // reduced as captures are, in the same step
    ASSERT_TRUE(EditRunner::run(doc, paste).changed);
    EXPECT_EQ(doc.picture().width(), 30);
    EXPECT_EQ(doc.depthCodeValue(), 8);
    EXPECT_EQ(doc.picture().bitsPerPixel(), 8);
    EXPECT_TRUE(doc.filePath.isEmpty()) << "Ctrl+S must not write it over a.bmp";
    EXPECT_EQ(doc.history.undoCount(), 1);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(rgb(doc), gradient());
    EXPECT_EQ(doc.filePath, QStringLiteral("/pictures/a.bmp"));
    EXPECT_EQ(doc.state(), 1);
}

TEST(PictureDocument, UndoAfterASaveLeavesThePictureToSave)
{
    PictureDocument doc;
    open(doc, gradient());
    RotateCommand turn(QStringLiteral("左右反転"));
    EditRunner::run(doc, turn);
    doc.markSaved(QStringLiteral("/pictures/b.png"));
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state(), 2) << "the file now holds the turned picture";
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.state(), 1);
}

TEST(PictureDocument, FrameChangesOnlyTheOuterPixelsOnPalettePictures)
{
    // 16 colours without the frame's grey (a full palette: its nearest
    // entry is taken), and 256 colours with room for the grey.
    for (int depth : {4, 8}) {
        QImage img(62, 62, QImage::Format_RGB32);
        for (int y = 0; y < 62; ++y)
            for (int x = 0; x < 62; ++x)
                img.setPixel(x, y, depth == 4 ? qRgb((x / 4) % 2 * 255, (x / 8) % 2 * 255, (x / 16) % 2 * 192 + (y / 31) * 63)
                                              : qRgb((x / 8) * 30, (y / 8) * 30, 60));
        PictureDocument doc;
        open(doc, img, depth);
        ASSERT_EQ(doc.picture().depthCode(), depth);
        const QImage before = rgb(doc);
        FrameCommand frame;
        EditRunner::run(doc, frame);
        EXPECT_EQ(doc.picture().depthCode(), depth);
        const QImage after = rgb(doc);
        int inside = 0;
        for (int y = 1; y < 61; ++y)
            for (int x = 1; x < 61; ++x)
                inside += after.pixel(x, y) != before.pixel(x, y);
        EXPECT_EQ(inside, 0) << depth;
        if (depth == 8) {
            EXPECT_EQ(after.pixel(0, 0), qRgb(128, 128, 128));
        }
        EXPECT_EQ(after.pixel(0, 30), after.pixel(61, 5)) << depth;
        EXPECT_EQ(doc.state(), 2);
    }
}

TEST(PictureDocument, StitchThatLeavesOneColumnStillCuts)
{
    PictureDocument doc;
    open(doc, gradient(10, 6));
    doc.range = {1, 0, 10, 6}; // columns 1..9 go
    StitchCommand stitch(1);
    EXPECT_TRUE(EditRunner::run(doc, stitch).changed);
    EXPECT_EQ(doc.picture().width(), 1);
    EXPECT_EQ(rgb(doc).pixel(0, 3), gradient(10, 6).pixel(0, 3));
}

TEST(PictureDocument, DrawingMergeKeepsTheDepthWhenTheColourFits)
{
    // 1 bit drawn on in black; a full 16-colour palette drawn on in one of
    // its own colours.
    QImage mono(30, 20, QImage::Format_RGB32);
    mono.fill(Qt::white);
    QImage sixteen(32, 20, QImage::Format_RGB32);
    for (int x = 0; x < 32; ++x)
        for (int y = 0; y < 20; ++y)
            sixteen.setPixel(x, y, qRgb((x / 2) * 17, 255 - (x / 2) * 17, 40));
    for (auto [img, depth, ink] : {std::tuple{mono, 1, QColor(Qt::black)},
                                   std::tuple{sixteen, 4, QColor(qRgb(5 * 17, 255 - 5 * 17, 40))}}) {
        PictureDocument doc;
        Picture p(img);
        ASSERT_TRUE(p.convertDepth(depth, false));
        doc.replace(std::move(p), QString(), false);
        Drawing drawing;
        DrawnShape box;
        box.points = {QPointF(3, 3), QPointF(12, 12)};
        box.colour = ink;
        box.filled = true;
        drawing.add(box);
        MergeDrawingCommand merge(drawing);
        EXPECT_TRUE(EditRunner::run(doc, merge).changed) << depth;
        EXPECT_EQ(doc.picture().depthCode(), depth);
        EXPECT_EQ(doc.depthCodeValue(), depth);
        EXPECT_EQ(rgb(doc).pixel(6, 6), ink.rgb());
    }
}

TEST(PictureDocument, NoChangeCommandsOnABigPictureKeepTheRealStep)
{
    // Commands that change nothing cost the history nothing: the step
    // before them is still there to take back.
    PictureDocument doc;
    open(doc, gradient(3840, 2160));
    RotateCommand turn(QStringLiteral("上下反転"));
    EditRunner::run(doc, turn);
    TrimCommand trim;
    for (int i = 0; i < 15; ++i)
        EditRunner::run(doc, trim); // no range: nothing
    EXPECT_EQ(doc.history.undoCount(), 1);
    EXPECT_LE(doc.history.bytes(), doc.picture().image().sizeInBytes());
    EXPECT_TRUE(doc.undo());
}

TEST(PictureDocument, ACaptureOverUnsavedChangesKeepsThemOneUndoAway)
{
    PictureDocument doc;
    open(doc, gradient());
    RotateCommand turn(QStringLiteral("右90度"));
    EditRunner::run(doc, turn);
    const QImage edited = rgb(doc);
    doc.replace(Picture(gradient(8, 8)), QString(), true);
    EXPECT_EQ(doc.state(), 1);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(rgb(doc), edited);
    EXPECT_EQ(doc.filePath, QStringLiteral("/pictures/a.bmp"));
    EXPECT_EQ(doc.state(), 2);
    // Over a picture without changes, and for any load, history starts anew.
    doc.markSaved(doc.filePath);
    doc.replace(Picture(gradient(8, 8)), QString(), true);
    EXPECT_FALSE(doc.history.canUndo());
}
