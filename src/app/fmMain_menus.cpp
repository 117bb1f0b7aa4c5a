// Menu construction: every menu is a MenuGroup with its captions in index
// order; the QMenus only mirror the groups.
#include "fmMain.h"

#include <QMenuBar>
#include <QShortcut>

#include "capture/WorkFolderView.h"
#include "macros/MenuBinder.h"
#include "editing/DrawToolBar.h"
#include "editing/EditCommands.h"
#include "MenuItems.h"
#include "capture/CaptureOptions.h"
#include "editing/ColourDepth.h"
#include "macros/MenuGroup.h"
#include "settings/yIni.h"

namespace varnel {

using namespace MenuItems;

namespace {
// How long a command waits for a paste still on its way: a responsive
// owner has answered by then, even for a 4K picture it encodes slowly.
constexpr int kPasteWaitMs = 2000;

QKeySequence ctrl(char c)
{
    return QKeySequence(Qt::CTRL | Qt::Key(c));
}
} // namespace

MenuGroup* fmMain::group(const QString& name) const
{
    return m_groups.value(name);
}

QMenu* fmMain::menuOf(const QString& groupName) const
{
    return MenuBinder::find(menuBar()->actions(), groupName);
}

QMenu* fmMain::fileMenu() const
{
    return menuOf(QStringLiteral("mnFile"));
}

void fmMain::buildMenus()
{
    auto make = [this](const char* name, const QString& keyword = {}) {
        auto* g = new MenuGroup(QString::fromLatin1(name), keyword, this);
        m_groups.insert(g->name(), g);
        return g;
    };

    // Every item a macro line can name, in one table per group (MenuGroup
    // records it while recording is on); a group marked so acts only on
    // enabled items. Commands are carried out in the order given: one that
    // comes while a paste still waits for its owner first waits for the
    // pasted picture (taking no other command meanwhile), for as long as a
    // responsive owner needs; a newer paste takes the older one's place.
    auto guard = std::make_shared<MenuGuard>();
    guard->refuse = [this] { return m_paste->isWaiting(); };
    guard->wait = [this] { return m_paste->finish(kPasteWaitMs); };
    guard->failed = [this](const QString& why) {
        m_platform.dialogs->message(why);
        showDocument();
    };
    const auto bind = [guard](MenuGroup* g, std::initializer_list<MenuRow> rows, bool onlyEnabled) {
        g->setGuard(guard);
        g->setRows(rows, onlyEnabled);
    };
    // Runs an edit command on the document; what it did is no matter for
    // the macro: the line is a step.
    const auto edit = [this](auto makeCommand, bool takesRange = false) {
        return [this, makeCommand, takesRange] {
            auto command = makeCommand();
            RunEdit(command, takesRange);
            return true;
        };
    };
    const auto done = [](auto f) {
        return [f] {
            f();
            return true;
        };
    };

    mnFile = make("mnFile", QStringLiteral("ﾌｧｲﾙ"));
    bind(mnFile, {
        {FileOpen, "開く(&O)", ctrl('O'), done([this] { OpenImageDialog(); })},
        {FileSave, "上書き保存(&S)", ctrl('S'), done([this] { SaveImageAs(false); })},
        {FileSaveAs, "名前を付けて保存", {}, done([this] { SaveImageAs(true); })},
        {FileOpenWithViewer, "現在のﾌｧｲﾙをBrivaleで開く", {},
         done([this] { m_tools->OpenWithBrivale(WorkFolder, m_listView->selectedName()); })},
        {4, "-"},
        {FileWorkFolder, "作業ﾌｫﾙﾀﾞ"},
        {FileStorage, "格納"},
        {7, "-"},
        {FileOpenFolderWithBrowser, "現在のﾌｫﾙﾀﾞをBrivaneで開く", {},
         done([this] { m_tools->OpenWithBrivane(WorkFolder, m_listView->selectedName()); })},
        {FileStandby, "ｷｬﾌﾞﾁｬｰ待機", ctrl('Q'), done([this] { SetFormShown(!FormShown); })},
        {10, "-"},
        // Unsaved changes are asked about; an exit from outside (a signal,
        // the session's end) does not come this way.
        {FileExit, "終了(&X)", {}, [this] {
             if (MaySetPictureAside())
                 Exit();
             return false;
         }},
    }, true);

    mnWkf = make("mnWkf", QStringLiteral("作業ﾌｫﾙﾀﾞ"));
    bind(mnWkf, {
        {WorkSaveNumbered, "連番をつけて保存", ctrl('W'), done([this] { m_capture->SaveNumberedToWorkFolder(); })},
        {WorkExplore, "ｴｸｽﾌﾟﾛｰﾗｰで開く", ctrl('E'), done([this] { settingsStore().W_ExpFd(WorkFolder, false); })},
        {WorkBrowse, "Brivaneで開く", {}, done([this] { m_tools->OpenWithBrivane(WorkFolder, QString()); })},
        {3, "-"},
        {WorkEmpty, "ﾌｫﾙﾀﾞを空にする", {}, done([this] { EmptyWorkFolder(); })},
        // The window's own tools come after the items a macro line can
        // name, and are no macro steps.
        {5, "-"},
        {WorkJoin, "画像をつなぐ", {}, [this] {
             JoinSelectedFiles();
             return false;
         }},
    }, true);
    mnFile->setSubmenu(FileWorkFolder, mnWkf);

    mnKkn = make("mnKkn", QStringLiteral("格納"));
    bind(mnKkn, {
        {StoreSaveNumbered, "連番をつけて保存", {}, done([this] { m_capture->SaveNumberedToStorage(); })},
        {StoreExplore, "ｴｸｽﾌﾟﾛｰﾗｰで開く", {}, done([this] { settingsStore().W_ExpFd(StorageFolder, false); })},
        {StoreBrowse, "Brivaneで開く", {}, done([this] { m_tools->OpenWithBrivane(StorageFolder, QString()); })},
        {3, "-"},
        // A cancelled dialog records nothing.
        {StoreChoose, "画像格納の指定", {}, [this] { return ChooseStorage(); }},
    }, true);
    mnKkn->setEnabled(StoreSaveNumbered, false);
    mnFile->setSubmenu(FileStorage, mnKkn);

    mnEdt = make("mnEdt", QStringLiteral("画像編集"));
    bind(mnEdt, {
        {EditRevert, "読込時の画像に戻す", {}, edit([] { return RevertCommand(); })},
        {1, "-"},
        {EditCopy, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ", ctrl('C'), done([this] { CopyToClipboard(); })},
        {EditPaste, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付", ctrl('V'), done([this] { PasteClipboardPicture(); }), false},
        {4, "-"},
        {EditRange, "範囲"},
        {EditTrim, "ﾄﾘﾐﾝｸﾞ", ctrl('T'), edit([] { return TrimCommand(); }, true)},
        {EditResize, "ﾘｻｲｽﾞ"},
        {EditStitch, "綴じ込み"},
        {EditRotate, "回転"},
        {10, "-"},
        {EditColours, "色数"},
        {EditToolBar, "ﾂｰﾙﾊﾞｰを表示", {}, done([this] { ShowDrawToolBar(); })},
        {EditFrame, "画像枠を追加", {}, edit([] { return FrameCommand(); })},
        // Undo, redo and reading the text come after every item a macro
        // can name, so no index moves; none of them is a macro step.
        {14, "-"},
        {EditUndo, "元に戻す", QKeySequence(QKeySequence::Undo), [this] {
             UndoEdit();
             return false;
         }},
        {EditRedo, "やり直し", QKeySequence(QKeySequence::Redo), [this] {
             RedoEdit();
             return false;
         }},
        {17, "-"},
        {EditReadText, "文字の読み取り", {}, [this] {
             ReadPictureText();
             return false;
         }},
    }, false);
    for (auto [key, index] : {std::pair{QKeySequence::Undo, int(EditUndo)},
                              std::pair{QKeySequence::Redo, int(EditRedo)}})
        for (const QKeySequence& k : QKeySequence::keyBindings(key).mid(1)) // the menu shows the first
            connect(new QShortcut(k, this), &QShortcut::activated, this, [this, index] { mnEdt->click(index); });

    mnUsHn = make("mnUsHn", QStringLiteral("範囲USR"));
    mnUsHn->add(QStringLiteral("?"));
    mnUsHn->setVisible(0, false);
    mnUsHn->setGuard(guard);
    mnUsHn->setAction([this](int i) { return SelectUserRange(i); });
    mnRng = make("mnRng", QStringLiteral("範囲"));
    bind(mnRng, {
        {0, "-"},
        {RangeRegister, "範囲の登録", {}, done([this] { RegisterRange(); })},
        {RangeClear, "範囲のｸﾘｱ", {}, done([this] { ClearRange(); })},
        {3, "-"},
        {RangeHighlight, "強調(相対)", {}, edit([] { return HighlightCommand(0); }, true)},
        {RangeMarker, "強調(ﾏｰｶｰ)", {}, edit([] { return HighlightCommand(1); }, true)},
        {6, "-"},
        {RangeMosaic, "ﾓｻﾞｲｸ", {}, edit([this] {
             MosaicCommand mosaic;
             mosaic.block = m_drawBar ? m_drawBar->mosaicBlock() : 8;
             return mosaic;
         }, true)},
    }, false);
    mnUsHn->setContinuation(mnRng);
    mnEdt->setSubmenu(EditRange, mnUsHn);

    mnResize = make("mnResize", QStringLiteral("ﾘｻｲｽﾞ"));
    bind(mnResize, {
        {ResizeByWidth, "横方向を基準に縮小", {}, edit([] { return ResizeCommand(0); }, true)},
        {ResizeByHeight, "縦方向を基準に縮小", {}, edit([] { return ResizeCommand(1); }, true)},
        {2, "-"},
        {ResizeBoth, "縦横比率を変えて縮小", {}, edit([] { return ResizeCommand(2); }, true)},
    }, false);
    mnEdt->setSubmenu(EditResize, mnResize);

    mnCut = make("mnCut", QStringLiteral("綴込"));
    bind(mnCut, {
        {StitchRows, "縦方向", {}, edit([] { return StitchCommand(0); }, true)},
        {StitchColumns, "横方向", {}, edit([] { return StitchCommand(1); }, true)},
    }, true);
    mnEdt->setSubmenu(EditStitch, mnCut);

    mnRotate = make("mnRotate", QStringLiteral("回転"));
    const auto turn = [&](const char* caption) {
        return edit([caption] { return RotateCommand(QString::fromUtf8(caption)); });
    };
    bind(mnRotate, {
        {0, "左右反転", {}, turn("左右反転")},
        {1, "上下反転", {}, turn("上下反転")},
        {2, "-"},
        {3, "右90度", ctrl('R'), turn("右90度")},
        {4, "右180度", {}, turn("右180度")},
        {5, "左90度", ctrl('L'), turn("左90度")},
        {6, "左180度", {}, turn("左180度")},
    }, false);
    mnEdt->setSubmenu(EditRotate, mnRotate);

    mnColr = make("mnColr", QStringLiteral("色数"));
    mnColr->setCheckable(true);
    const auto depth = [&](int item) {
        return edit([item] { return ColourDepthCommand(ColourDepth::codeForItem(item)); });
    };
    bind(mnColr, {
        {1, "16色(4bit)", {}, depth(1)},
        {2, "ｸﾞﾚｰ(4bit)", {}, depth(2)},
        {3, "256色(8bit)", {}, depth(3)},
        {4, "ｸﾞﾚｰ(8bit)", {}, depth(4)},
        {5, "16bit", {}, depth(5)},
        {6, "24bit", {}, depth(6)},
        {7, "32bit", {}, depth(7)},
    }, true);
    mnEdt->setSubmenu(EditColours, mnColr);

    mnDisp = make("mnDisp");
    mnDisp->add(QStringLiteral("作業ﾌｫﾙﾀﾞを表示"));
    mnDisp->setHandler([this](int i) { onDisplayMenu(i); });

    mnMcr = make("mnMcr");
    mnMcr->add(QStringLiteral("?"));
    mnMcr->setVisible(0, false);
    mnMcr->setHandler([this](int i) { onMacroMenu(i); });
    mnMcrS = make("mnMcrS");
    mnMcrS->add(QStringLiteral("-"));
    mnMcrS->add(QStringLiteral("記入_開始"));
    mnMcrS->add(QStringLiteral("記入_終了"));
    mnMcrS->add(QStringLiteral("修正・削除"));
    mnMcrS->setVisible(0, false);
    mnMcrS->setHandler([this](int i) { m_recorder.onRecordMenu(i); });
    mnMcr->setContinuation(mnMcrS);

    mnUsr = make("mnUsr");
    for (const QString& c : CaptureOptions::groupCaptions())
        mnUsr->add(c);
    mnCpt = make("mnCpt");
    mnGen = make("mnGen");
    mnCptW = make("mnCptW");
    mnMpn = make("mnMpn");
    const std::pair<MenuGroup*, const QStringList*> optionGroups[] = {
        {mnCpt, &CaptureOptions::afterCaptureCaptions()},
        {mnGen, &CaptureOptions::colourReductionCaptions()},
        {mnCptW, &CaptureOptions::onMinimiseCaptions()},
        {mnMpn, &CaptureOptions::pointerCaptions()}};
    int oi = 0;
    for (auto [g, captions] : optionGroups) {
        g->setCheckable(true);
        for (const QString& c : *captions)
            g->add(c);
        mnUsr->setSubmenu(oi++, g);
    }
    // The ticks the menus are created with.
    mnCpt->setChecked(1, true);
    mnGen->setChecked(0, true);
    mnMpn->setChecked(0, true);
    mnCpt->setHandler([this](int i) { onAfterCaptureMenu(i); });
    mnGen->setHandler([this](int i) { onColourReductionMenu(i); });
    mnCptW->setHandler([this](int i) { onMinimiseMenu(i); });
    mnMpn->setHandler([this](int i) { onPointerMenu(i); });

    // The menu bar: index 2 does not exist.
    // Every macro step is recorded here, for whichever group it belongs to.
    for (MenuGroup* g : {mnFile, mnWkf, mnKkn, mnEdt, mnUsHn, mnRng, mnResize, mnCut, mnRotate, mnColr})
        g->setRecorder([this](const QString& keyword, const QString& argument) {
            m_recorder.RecordMacroStep(keyword, argument);
        });

    mnJb = make("mnJb");
    mnJb->addAt(0, QStringLiteral("ﾌｧｲﾙ(&F)"));
    mnJb->addAt(1, QStringLiteral("画像編集(&E)"));
    mnJb->addAt(3, QStringLiteral("表示(&D)"));
    mnJb->addAt(4, QStringLiteral("ﾏｸﾛ(&M)"));
    mnJb->addAt(5, QStringLiteral("設定(&U)"));
    mnJb->addAt(6, QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    const std::pair<int, MenuGroup*> tops[] = {{0, mnFile}, {1, mnEdt}, {3, mnDisp},
                                               {4, mnMcr},  {5, mnUsr}};
    for (auto [index, g] : tops) {
        QMenu* m = menuBar()->addMenu(MenuBinder::displayText(mnJb->caption(index)));
        connect(m, &QMenu::aboutToShow, this, [this, index] { onMenuBarOpened(index); });
        new MenuBinder(m, g, this); // kept by the window, as a child
    }
    // Help has no items: choosing it opens the help page.
    QAction* help = menuBar()->addAction(MenuBinder::displayText(mnJb->caption(6)));
    connect(help, &QAction::triggered, this, [this] { onMenuBarOpened(6); });

}

void fmMain::onMenuBarOpened(int index)
{
    if (index == 1) {
        mnEdt->setEnabled(EditPaste, ClipboardHasPicture());
        mnEdt->setEnabled(EditRange, !ToolBarShown);
        updateUndoItems();
    } else if (index == 6) {
        settingsStore().W_Help(QStringLiteral("varnel.htm"));
    }
}

} // namespace varnel
