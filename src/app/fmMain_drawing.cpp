// Drawing on the picture: the overlay and its floating tool bar, and the
// keys and wheel that step the zoom.
#include "fmMain.h"

#include <QKeySequence>
#include <QShortcut>

#include "editing/DrawToolBar.h"
#include "editing/DrawingOverlay.h"
#include "editing/EditCommands.h"
#include "editing/PictureSurface.h"
#include "editing/StampPreview.h"

namespace varnel {

void fmMain::buildDrawing()
{
    // Shapes that become pixels on the way (the surface's picture read
    // with shapes on it) are an edit like any other: the picture before it
    // is kept and the picture is changed. MergeDrawing is the usual road.
    ikImg->setBeforeMerge([this] {
        if (m_doc.hasPicture())
            m_doc.history.push(m_doc.snapshot());
    });
    connect(ikImg, &PictureSurface::drawingMerged, this, [this] {
        UpdateColourDepth(0);
        SetPictureState(2);
        updateUndoItems();
    });
    DrawingOverlay* ov = ikImg->overlay();
    // A drawn shape is a change of the picture, even before it is merged;
    // each is a step of its own for undo.
    connect(ov, &DrawingOverlay::changed, this, [this] {
        if (PictureState != 0)
            SetPictureState(2);
        updateUndoItems();
    });

    m_drawBar = new DrawToolBar(this);
    m_drawBar->hide();
    m_drawBar->drive(ov);
    connect(m_drawBar, &DrawToolBar::closed, this, [this] { onDrawToolBarClosed(); });

    connect(ikImg, &PictureSurface::zoomStepRequested, this, [this](int s) { StepZoom(s); });
    // The platform's zoom keys, and Ctrl with the "+" key unshifted; a
    // sequence taken twice would make both shortcuts ambiguous.
    QList<QKeySequence> larger = QKeySequence::keyBindings(QKeySequence::ZoomIn);
    if (!larger.contains(QKeySequence(Qt::CTRL | Qt::Key_Equal)))
        larger << QKeySequence(Qt::CTRL | Qt::Key_Equal);
    const QList<QKeySequence> smaller = QKeySequence::keyBindings(QKeySequence::ZoomOut);
    for (int step : {1, -1})
        for (const QKeySequence& keys : step > 0 ? larger : smaller) {
            auto* sc = new QShortcut(keys, this);
            connect(sc, &QShortcut::activated, this, [this, step] { StepZoom(step); });
        }
}

void fmMain::ShowDrawToolBar()
{
    if (!ikImg->hasPicture() || !m_drawBar)
        return;
    const DrawToolBar::Placement pl =
        DrawToolBar::placeBeside(frameGeometry(), isMaximized());
    if (pl.restore)
        showNormal();
    if (pl.shift > 0) {
        // Narrower, but never so narrow that the tool strip is cut off.
        const QRect g = geometry();
        const int narrowest = std::min(g.width(), std::max(100, m_stripWidth));
        setGeometry(g.x() + pl.shift, g.y(), std::max(narrowest, g.width() - pl.shift), g.height());
    }
    DrawingOverlay* ov = ikImg->overlay();
    // The stamp panel may be hidden (no settings stored yet); the stamp
    // tool still gets the current stamp.
    if (ov->stamp().isNull() && !pnBmp->current().isEmpty())
        pnBmp->showCurrent();
    ikImg->setOverlayVisible(true);
    m_drawBar->beginDrawing(ov);
    m_drawBar->move(pl.bar);
    m_drawBar->show();
    m_drawBar->raise();
    ToolBarShown = true;
}

bool fmMain::UndoShape()
{
    return ikImg->overlay()->undo();
}

bool fmMain::RedoShape()
{
    return ikImg->overlay()->redo();
}

bool fmMain::MergeDrawing()
{
    DrawingOverlay* ov = ikImg->overlay();
    ov->commitText();
    if (ov->drawing().isEmpty() || !m_doc.hasPicture())
        return false;
    MergeDrawingCommand merge(ov->drawing());
    const EditOutcome out = EditRunner::run(m_doc, merge);
    ov->update();
    showDocument();
    if (out.failed)
        m_platform.dialogs->message(out.error);
    return out.changed;
}

void fmMain::onDrawToolBarClosed()
{
    // Closing the bar keeps what was drawn: the shapes become pixels, and
    // undo takes them back as one step.
    MergeDrawing();
    ToolBarShown = false;
    ikImg->overlay()->setInputEnabled(false);
    ikImg->setOverlayVisible(false);
    ikImg->setBusy(false); // the selection pointer again
}

} // namespace varnel
