#pragma once
#include <QString>

#include <deque>
#include <optional>

#include "engine/Picture.h"

namespace varnel {

// One state of the picture that an edit can be taken back to.
struct EditSnapshot {
    Picture picture;
    QString depthCode; // the colour-depth code the window showed for it
    QString filePath;  // the file it belonged to (a capture may replace it)

    qint64 bytes() const { return picture.image().sizeInBytes(); }
};

// The undo and redo steps of the edit commands. Snapshots share their pixels
// with the picture until it is written, so keeping one costs nothing until the
// command changes the picture; the pixels are counted all the same, and the
// oldest steps go first when the total passes the limit.
class EditHistory {
public:
    static constexpr qint64 kDefaultLimit = qint64(512) * 1024 * 1024;

    explicit EditHistory(qint64 byteLimit = kDefaultLimit) : m_limit(byteLimit) {}

    // Keeps the state before a change. What could be redone is forgotten.
    void push(EditSnapshot before);
    // The state to go back to; current moves to the redo side. None when
    // there is nothing to take back.
    std::optional<EditSnapshot> undo(EditSnapshot current);
    // The state to go forward to; current moves to the undo side.
    std::optional<EditSnapshot> redo(EditSnapshot current);

    // The latest undo step, for a command that wants to see what it kept.
    const EditSnapshot* last() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    // Forgets the latest undo step (the command changed nothing after all).
    void dropLast();
    void clear();

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_redo.size()); }
    qint64 bytes() const { return m_bytes; }
    qint64 limit() const { return m_limit; }
    // Counts every push, so a caller can tell whether its command pushed.
    quint64 pushCount() const { return m_pushes; }

private:
    void trim();

    std::deque<EditSnapshot> m_undo; // oldest first
    std::deque<EditSnapshot> m_redo; // next redo last
    qint64 m_limit;
    qint64 m_bytes = 0;
    quint64 m_pushes = 0;
};

} // namespace varnel
