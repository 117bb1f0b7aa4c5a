#include "PictureDocument.h"

namespace varnel {

PictureDocument::PictureDocument() : m_picture(&m_own) {}

PictureDocument::PictureDocument(Picture& storage) : m_picture(&storage) {}

void PictureDocument::setState(int state)
{
    m_state = state;
    if (stateChanged)
        stateChanged(state);
}

void PictureDocument::markSaved(const QString& path)
{
    filePath = path;
    m_savedPath = path;
    m_savedKey = m_picture->image().cacheKey();
    setState(1);
}

bool PictureDocument::isAsSaved() const
{
    // A copy of an image shares its key until either is written, so the key
    // tells the very pixels apart from any change made since.
    return hasPicture() && m_picture->image().cacheKey() == m_savedKey && filePath == m_savedPath;
}

void PictureDocument::replace(Picture picture, const QString& path, bool keepUnsaved)
{
    if (keepUnsaved && m_state == 2 && hasPicture())
        history.push(snapshot());
    else
        history.clear();
    *m_picture = std::move(picture);
    range = {};
    readDepthCode();
    markSaved(path);
}

void PictureDocument::clear()
{
    m_picture->clear();
    history.clear();
    range = {};
    depthCode.clear();
    filePath.clear();
    m_savedPath.clear();
    m_savedKey = 0;
    setState(0);
}

EditSnapshot PictureDocument::snapshot() const
{
    return {*m_picture, depthCode, filePath};
}

void PictureDocument::restore(EditSnapshot s)
{
    *m_picture = std::move(s.picture);
    depthCode = s.depthCode;
    filePath = s.filePath;
    range = {};
}

bool PictureDocument::undo()
{
    if (!hasPicture())
        return false;
    auto s = history.undo(snapshot());
    if (!s)
        return false;
    restore(std::move(*s));
    setState(isAsSaved() ? 1 : 2);
    return true;
}

bool PictureDocument::redo()
{
    if (!hasPicture())
        return false;
    auto s = history.redo(snapshot());
    if (!s)
        return false;
    restore(std::move(*s));
    setState(isAsSaved() ? 1 : 2);
    return true;
}

} // namespace varnel
