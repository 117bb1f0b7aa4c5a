// Undo and redo of the edit commands, and the guard every command runs in.
#include "fmMain.h"

#include <exception>
#include <new>

#include "editing/DrawingOverlay.h"
#include "editing/PictureSurface.h"
#include "macros/MenuGroup.h"

namespace varnel {

void fmMain::BeginEdit()
{
    if (!ikImg->hasPicture())
        return;
    m_history.push({ikImg->picture(), ColourDepthCode});
    updateUndoItems();
}

void fmMain::ResetEditHistory()
{
    m_history.clear();
    updateUndoItems();
}

void fmMain::UndoEdit()
{
    if (!ikImg->hasPicture())
        return;
    // Shapes not yet pixels are taken back one by one, the last first.
    if (UndoShape())
        return;
    MergeDrawing();
    ikImg->overlay()->drawing().forgetSteps();
    if (auto s = m_history.undo({ikImg->picture(), ColourDepthCode}))
        restoreSnapshot(std::move(*s));
}

void fmMain::RedoEdit()
{
    if (!ikImg->hasPicture())
        return;
    if (RedoShape())
        return;
    MergeDrawing();
    ikImg->overlay()->drawing().forgetSteps();
    if (auto s = m_history.redo({ikImg->picture(), ColourDepthCode}))
        restoreSnapshot(std::move(*s));
}

void fmMain::restoreSnapshot(EditSnapshot snapshot)
{
    ClearRange();
    ikImg->picture() = std::move(snapshot.picture);
    UpdateColourDepth(snapshot.depthCode.toInt());
    ShowPicture();
    // Whatever state it came back to, it is not what the file holds for sure.
    SetPictureState(2);
    updateUndoItems();
}

void fmMain::updateUndoItems()
{
    if (mnEdt->size() > 16) {
        const Drawing& shapes = ikImg->overlay()->drawing();
        mnEdt->setEnabled(15, m_history.canUndo() || shapes.canUndo());
        mnEdt->setEnabled(16, m_history.canRedo() || shapes.canRedo());
    }
}

void fmMain::runEdit(const std::function<void()>& command)
{
    const quint64 pushesBefore = m_history.pushCount();
    const auto pushed = [&] { return m_history.pushCount() != pushesBefore && m_history.last(); };
    const char* failure = nullptr;
    try {
        command();
    } catch (const std::bad_alloc&) {
        failure = "memory";
    } catch (const std::exception&) {
        failure = "error";
    } catch (...) {
        failure = "error";
    }
    if (failure) {
        // Put back the picture the command started from.
        if (pushed()) {
            EditSnapshot before = *m_history.last();
            m_history.dropLast();
            restoreSnapshot(std::move(before));
        }
        ikImg->showPicture(DisplayMode);
        m_platform.dialogs->message(std::string_view(failure) == "memory"
                                        ? QStringLiteral("メモリが足りないため、この操作はできませんでした。画像は操作前のままです。")
                                        : QStringLiteral("この操作はできませんでした。画像は操作前のままです。"));
        return;
    }
    // A command that ended up changing nothing leaves no step to take back.
    if (pushed()) {
        const EditSnapshot& before = *m_history.last();
        const Picture& now = ikImg->picture();
        if (before.picture.image().cacheKey() == now.image().cacheKey()
            && before.picture.bitsPerPixel() == now.bitsPerPixel() && before.depthCode == ColourDepthCode) {
            m_history.dropLast();
            updateUndoItems();
        }
    }
}

} // namespace varnel
