#pragma once
#include <QString>

#include <functional>

#include "EditHistory.h"
#include "engine/Picture.h"

namespace varnel {

// The range as the window keeps it: left, top, right, bottom in picture
// pixels, all 0 for none.
struct PictureRange {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool isSet() const { return left > 0 || top > 0 || right > 0 || bottom > 0; }
};

// The picture being worked on and everything that belongs to it: its
// colour-depth code, the range, the file it came from or was saved to, its
// state (0 none, 1 as in the file, 2 changed since) and its undo history.
// Edit commands change it only through EditRunner, so every change is an
// undo step and leaves the state at 2.
class PictureDocument {
public:
    // Owns its picture.
    PictureDocument();
    // Works on a picture kept elsewhere (the one the surface shows).
    explicit PictureDocument(Picture& storage);
    void bind(Picture& storage) { m_picture = &storage; }
    PictureDocument(const PictureDocument&) = delete;
    PictureDocument& operator=(const PictureDocument&) = delete;

    Picture& picture() { return *m_picture; }
    const Picture& picture() const { return *m_picture; }
    bool hasPicture() const { return m_picture->hasPicture(); }

    // "ColourDepthCode": the code as decimal text; empty before any picture.
    QString depthCode;
    int depthCodeValue() const { return depthCode.toInt(); }
    // The code read from the picture (bits per pixel, ×10 for grey 4 and 8).
    void readDepthCode() { depthCode = QString::number(m_picture->depthCode()); }

    PictureRange range;
    // The file the picture came from or was last saved to; empty for a
    // picture from the clipboard.
    QString filePath;

    int state() const { return m_state; }
    const int& stateRef() const { return m_state; }
    // Called with the new state whenever it is set (the window's menus follow it).
    std::function<void(int)> stateChanged;
    void setState(int state);

    EditHistory history;

    // The picture now is what filePath holds (after a load or a save).
    void markSaved(const QString& path);
    // Whether the picture is the one last loaded or saved, as it was then.
    bool isAsSaved() const;

    // A fresh picture from a file or the clipboard, as in its file. The
    // history starts again, unless keepUnsaved is on and the picture it
    // replaces has unsaved changes: that one then stays one undo away.
    void replace(Picture picture, const QString& path, bool keepUnsaved);
    void clear();

    EditSnapshot snapshot() const;
    // Puts a kept state back (picture, code, file); the range goes.
    void restore(EditSnapshot snapshot);
    // Undo and redo: false when there is nothing to go to. The state is 1
    // when the picture is again the one in its file, else 2.
    bool undo();
    bool redo();

private:
    Picture m_own;
    Picture* m_picture;
    int m_state = 0;
    qint64 m_savedKey = 0;
    QString m_savedPath;
};

} // namespace varnel
