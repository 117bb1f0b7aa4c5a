// Menu construction: every menu is a MenuGroup with its captions in index
// order; the QMenus only mirror the groups.
#include "fmMain.h"

#include <QMenuBar>
#include <QShortcut>

#include <new>

#include "MenuBinder.h"
#include "MenuItems.h"
#include "capture/CaptureOptions.h"
#include "editing/ColourDepth.h"
#include "macros/MenuGroup.h"
#include "settings/yIni.h"

namespace varnel {

namespace {
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
    // Every QMenu carries the name of the group it shows.
    std::function<QMenu*(const QList<QAction*>&)> find = [&](const QList<QAction*>& actions) -> QMenu* {
        for (QAction* a : actions)
            if (QMenu* m = a->menu()) {
                if (m->property("varnelGroup").toString() == groupName)
                    return m;
                if (QMenu* deeper = find(m->actions()))
                    return deeper;
            }
        return nullptr;
    };
    return find(menuBar()->actions());
}

QMenu* fmMain::fileMenu() const
{
    return menuOf(QStringLiteral("mnFile"));
}

std::function<bool(int)> fmMain::guarded(bool (fmMain::*action)(int))
{
    // A command that breaks down ends itself, not the program; the user is told.
    return [this, action](int i) {
        // A replay waiting for a paste takes no other command meanwhile.
        if (m_pasteLoop)
            return false;
        try {
            return (this->*action)(i);
        } catch (const std::bad_alloc&) {
            m_platform.dialogs->message(QStringLiteral("メモリが足りないため、この操作はできませんでした。"));
        } catch (...) {
            m_platform.dialogs->message(QStringLiteral("この操作はできませんでした。"));
        }
        showDocument();
        return false;
    };
}

void fmMain::buildMenus()
{
    auto make = [this](const char* name, const QString& keyword = {}) {
        auto* g = new MenuGroup(QString::fromLatin1(name), keyword, this);
        m_groups.insert(g->name(), g);
        return g;
    };

    mnFile = make("mnFile", QStringLiteral("ﾌｧｲﾙ"));
    mnFile->add(QStringLiteral("開く(&O)"), ctrl('O'));
    mnFile->add(QStringLiteral("上書き保存(&S)"), ctrl('S'));
    mnFile->add(QStringLiteral("名前を付けて保存"));
    mnFile->add(QStringLiteral("現在のﾌｧｲﾙをBrivaleで開く"));
    mnFile->add(QStringLiteral("-"));
    mnFile->add(QStringLiteral("作業ﾌｫﾙﾀﾞ"));
    mnFile->add(QStringLiteral("格納"));
    mnFile->add(QStringLiteral("-"));
    mnFile->add(QStringLiteral("現在のﾌｫﾙﾀﾞをBrivaneで開く"));
    mnFile->add(QStringLiteral("ｷｬﾌﾞﾁｬｰ待機"), ctrl('Q'));
    mnFile->add(QStringLiteral("-"));
    mnFile->add(QStringLiteral("終了(&X)"));
    mnFile->setAction(guarded(&fmMain::onFileMenu));

    mnWkf = make("mnWkf", QStringLiteral("作業ﾌｫﾙﾀﾞ"));
    mnWkf->add(QStringLiteral("連番をつけて保存"), ctrl('W'));
    mnWkf->add(QStringLiteral("ｴｸｽﾌﾟﾛｰﾗｰで開く"), ctrl('E'));
    mnWkf->add(QStringLiteral("Brivaneで開く"));
    mnWkf->add(QStringLiteral("-"));
    mnWkf->add(QStringLiteral("ﾌｫﾙﾀﾞを空にする"));
    // The window's own tools come after the items a macro line can name.
    mnWkf->add(QStringLiteral("-"));
    mnWkf->add(QStringLiteral("画像をつなぐ"));
    mnWkf->setAction(guarded(&fmMain::onWorkFolderMenu));
    mnFile->setSubmenu(5, mnWkf);

    mnKkn = make("mnKkn", QStringLiteral("格納"));
    mnKkn->add(QStringLiteral("連番をつけて保存"));
    mnKkn->add(QStringLiteral("ｴｸｽﾌﾟﾛｰﾗｰで開く"));
    mnKkn->add(QStringLiteral("Brivaneで開く"));
    mnKkn->add(QStringLiteral("-"));
    mnKkn->add(QStringLiteral("画像格納の指定"));
    mnKkn->setEnabled(0, false);
    mnKkn->setAction(guarded(&fmMain::onStorageMenu));
    mnFile->setSubmenu(6, mnKkn);

    mnEdt = make("mnEdt", QStringLiteral("画像編集"));
    mnEdt->add(QStringLiteral("読込時の画像に戻す"));
    mnEdt->add(QStringLiteral("-"));
    mnEdt->add(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ"), ctrl('C'));
    mnEdt->add(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付"), ctrl('V'));
    mnEdt->add(QStringLiteral("-"));
    mnEdt->add(QStringLiteral("範囲"));
    mnEdt->add(QStringLiteral("ﾄﾘﾐﾝｸﾞ"), ctrl('T'));
    mnEdt->add(QStringLiteral("ﾘｻｲｽﾞ"));
    mnEdt->add(QStringLiteral("綴じ込み"));
    mnEdt->add(QStringLiteral("回転"));
    mnEdt->add(QStringLiteral("-"));
    mnEdt->add(QStringLiteral("色数"));
    mnEdt->add(QStringLiteral("ﾂｰﾙﾊﾞｰを表示"));
    mnEdt->add(QStringLiteral("画像枠を追加"));
    // Undo and redo come after every item a macro can name, so no index moves.
    mnEdt->add(QStringLiteral("-"));
    mnEdt->add(QStringLiteral("元に戻す"), QKeySequence(QKeySequence::Undo));
    mnEdt->add(QStringLiteral("やり直し"), QKeySequence(QKeySequence::Redo));
    for (auto [key, index] : {std::pair{QKeySequence::Undo, int(MenuItems::EditUndo)},
                              std::pair{QKeySequence::Redo, int(MenuItems::EditRedo)}})
        for (const QKeySequence& k : QKeySequence::keyBindings(key).mid(1)) // the menu shows the first
            connect(new QShortcut(k, this), &QShortcut::activated, this, [this, index] { mnEdt->click(index); });
    mnEdt->add(QStringLiteral("-"));
    mnEdt->add(QStringLiteral("文字の読み取り"));
    mnEdt->setAction(guarded(&fmMain::onEditMenu));

    mnUsHn = make("mnUsHn", QStringLiteral("範囲USR"));
    mnUsHn->add(QStringLiteral("?"));
    mnUsHn->setVisible(0, false);
    mnUsHn->setAction(guarded(&fmMain::onUserRangeMenu));
    mnRng = make("mnRng", QStringLiteral("範囲"));
    for (const char* c : {"-", "範囲の登録", "範囲のｸﾘｱ", "-", "強調(相対)", "強調(ﾏｰｶｰ)", "-", "ﾓｻﾞｲｸ"})
        mnRng->add(QString::fromUtf8(c));
    mnRng->setAction(guarded(&fmMain::onRangeMenu));
    mnUsHn->setContinuation(mnRng);
    mnEdt->setSubmenu(5, mnUsHn);

    mnResize = make("mnResize", QStringLiteral("ﾘｻｲｽﾞ"));
    for (const char* c : {"横方向を基準に縮小", "縦方向を基準に縮小", "-", "縦横比率を変えて縮小"})
        mnResize->add(QString::fromUtf8(c));
    mnResize->setAction(guarded(&fmMain::onResizeMenu));
    mnEdt->setSubmenu(7, mnResize);

    mnCut = make("mnCut", QStringLiteral("綴込"));
    mnCut->add(QStringLiteral("縦方向"));
    mnCut->add(QStringLiteral("横方向"));
    mnCut->setAction(guarded(&fmMain::onStitchMenu));
    mnEdt->setSubmenu(8, mnCut);

    mnRotate = make("mnRotate", QStringLiteral("回転"));
    mnRotate->add(QStringLiteral("左右反転"));
    mnRotate->add(QStringLiteral("上下反転"));
    mnRotate->add(QStringLiteral("-"));
    mnRotate->add(QStringLiteral("右90度"), ctrl('R'));
    mnRotate->add(QStringLiteral("右180度"));
    mnRotate->add(QStringLiteral("左90度"), ctrl('L'));
    mnRotate->add(QStringLiteral("左180度"));
    mnRotate->setAction(guarded(&fmMain::onRotateMenu));
    mnEdt->setSubmenu(9, mnRotate);

    mnColr = make("mnColr", QStringLiteral("色数"));
    mnColr->setCheckable(true);
    int ci = 1;
    for (const char* c : {"16色(4bit)", "ｸﾞﾚｰ(4bit)", "256色(8bit)", "ｸﾞﾚｰ(8bit)", "16bit", "24bit", "32bit"})
        mnColr->addAt(ci++, QString::fromUtf8(c));
    mnColr->setAction(guarded(&fmMain::onColourMenu));
    mnEdt->setSubmenu(11, mnColr);

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
    mnMcrS->setHandler([this](int i) { onMacroRecordMenu(i); });
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
            if (MacroRecording)
                appendMacroLine(keyword, argument);
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
        m->setProperty("varnelGroup", g->name());
        connect(m, &QMenu::aboutToShow, this, [this, index] { onMenuBarOpened(index); });
        auto* binder = new MenuBinder(m, g, this);
        m_binders.push_back(binder);
    }
    // Help has no items: choosing it opens the help page.
    QAction* help = menuBar()->addAction(MenuBinder::displayText(mnJb->caption(6)));
    connect(help, &QAction::triggered, this, [this] { onMenuBarOpened(6); });

}

void fmMain::onMenuBarOpened(int index)
{
    if (index == 1) {
        mnEdt->setEnabled(3, ClipboardHasPicture());
        mnEdt->setEnabled(5, !ToolBarShown);
        updateUndoItems();
    } else if (index == 6) {
        settingsStore().W_Help(QStringLiteral("varnel.htm"));
    }
}

} // namespace varnel
