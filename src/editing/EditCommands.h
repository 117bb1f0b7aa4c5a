#pragma once
#include <QString>

#include "PictureDocument.h"

namespace varnel {

class Drawing;

// One edit of the picture. A command changes the document's picture, code
// and range and nothing else; EditRunner keeps the picture before it, takes
// the state to 2 when something changed and puts the picture back when the
// command throws.
class EditCommand {
public:
    virtual ~EditCommand() = default;
    virtual void apply(PictureDocument& doc) = 0;
    // The state after a change: the picture differs from its file.
    virtual int stateAfterChange(const PictureDocument&) const { return 2; }
};

struct EditOutcome {
    bool changed = false; // pixels or depth changed: one undo step, state set
    bool failed = false;  // the command broke down; the picture is as before
    QString error;        // what to tell the user when it failed
};

class EditRunner {
public:
    static EditOutcome run(PictureDocument& doc, EditCommand& command);
    // Whether the picture, its depth or its code differ from a kept state.
    static bool differs(const EditSnapshot& before, const PictureDocument& doc);
};

// "ﾄﾘﾐﾝｸﾞ": the picture is cut to the range; nothing without one.
class TrimCommand : public EditCommand {
public:
    void apply(PictureDocument& doc) override;
};

// "強調(相対)" (kind 0) washes out what lies outside the range, "強調(ﾏｰｶｰ)"
// (kind 1) colours the range like a highlighter pen.
class HighlightCommand : public EditCommand {
public:
    explicit HighlightCommand(int kind) : m_kind(kind) {}
    void apply(PictureDocument& doc) override;

private:
    int m_kind;
};

// "ﾓｻﾞｲｸ": 8 × 8 blocks over the range, or the whole picture without one.
class MosaicCommand : public EditCommand {
public:
    void apply(PictureDocument& doc) override;
    int block = 8; // the side of a mosaic block in pixels
};

// "画像枠を追加": a grey line on the outermost pixels. Nothing inside it
// changes; a palette picture takes the grey as a new entry when it has room,
// else its nearest entry.
class FrameCommand : public EditCommand {
public:
    void apply(PictureDocument& doc) override;
};

// "ﾘｻｲｽﾞ": mode 0 to the range's width, 1 to its height (aspect kept),
// 2 to both. A palette picture ends at 16 bit.
class ResizeCommand : public EditCommand {
public:
    explicit ResizeCommand(int mode) : m_mode(mode) {}
    void apply(PictureDocument& doc) override;

private:
    int m_mode;
};

// "綴じ込み": the rows (direction 0) or columns (1) under the range are cut
// out and the rest joined.
class StitchCommand : public EditCommand {
public:
    explicit StitchCommand(int direction) : m_direction(direction) {}
    void apply(PictureDocument& doc) override;

private:
    int m_direction;
};

// "回転" by the item's caption; an unknown caption turns nothing.
class RotateCommand : public EditCommand {
public:
    explicit RotateCommand(QString caption) : m_caption(std::move(caption)) {}
    void apply(PictureDocument& doc) override;

private:
    QString m_caption;
};

// "色数": the picture converted to a depth code, the code kept.
class ColourDepthCommand : public EditCommand {
public:
    explicit ColourDepthCommand(int code) : m_code(code) {}
    void apply(PictureDocument& doc) override;

private:
    int m_code;
};

// A whole picture in place of the one there (a paste, a capture, the copy a
// save made of a picture its format could not keep). The history is kept,
// so the picture before is one undo away.
class TakePictureCommand : public EditCommand {
public:
    // savedAs: the file the new picture is (empty: a picture of its own,
    // from the clipboard).
    TakePictureCommand(Picture picture, QString savedAs)
        : m_picture(std::move(picture)), m_path(std::move(savedAs)) {}
    void apply(PictureDocument& doc) override;
    int stateAfterChange(const PictureDocument& doc) const override { return doc.hasPicture() ? 1 : 0; }

private:
    Picture m_picture;
    QString m_path;
};

// "ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付": the clipboard's picture in place of the one there.
// It is held in no file, so it is a change to save; the picture before is
// one undo away. The same pixels again change nothing. A depth code (the
// capture's colour reduction) converts it in the same step.
class PasteCommand : public EditCommand {
public:
    explicit PasteCommand(Picture picture, int depthCode = 0)
        : m_picture(std::move(picture)), m_code(depthCode) {}
    void apply(PictureDocument& doc) override;

private:
    Picture m_picture;
    int m_code;
};

// "読込時の画像に戻す": the file read again. Undo brings the edits back.
class RevertCommand : public EditCommand {
public:
    void apply(PictureDocument& doc) override;
    int stateAfterChange(const PictureDocument& doc) const override { return doc.isAsSaved() ? 1 : 2; }
    bool loaded() const { return m_loaded; }

private:
    bool m_loaded = false;
};

// The shapes drawn over the picture become its pixels.
class MergeDrawingCommand : public EditCommand {
public:
    explicit MergeDrawingCommand(Drawing& drawing) : m_drawing(drawing) {}
    void apply(PictureDocument& doc) override;

private:
    Drawing& m_drawing;
};

// What "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ" puts on the clipboard: the range (or the whole
// picture) at 96 dots per inch.
Picture clipboardCopy(const Picture& picture, const PictureRange& range);

} // namespace varnel
