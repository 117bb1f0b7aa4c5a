#include "spPic.h"

#include <QMenuBar>

#include "macros/MenuBinder.h"
#include "macros/MenuGroup.h"

namespace varnel {

spPic::spPic(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Form1"));

    mnPed = new MenuGroup(QStringLiteral("mnPed"), {}, this);
    for (const char* c : {"画像を更新して編集を継続", "-", "画像を更新して閉じる", "編集はｷｬﾝｾﾙして閉じる"})
        mnPed->add(QString::fromUtf8(c));
    mnPed->setHandler([this](int i) { onPictureMenu(i); });

    mnMgnify = new MenuGroup(QStringLiteral("mnMgnify"), {}, this);
    for (const char* c : {"ｽｹｰﾙ", "-", "実寸(100%)", "150%", "200%", "300%", "500%", "750%", "1000%"})
        mnMgnify->add(QString::fromUtf8(c));
    mnMgnify->setHandler([this](int i) { onSizeMenu(i); });

    new MenuBinder(menuBar()->addMenu(MenuBinder::displayText(QStringLiteral("画像"))), mnPed, this);
    new MenuBinder(menuBar()->addMenu(MenuBinder::displayText(QStringLiteral("表示ｻｲｽﾞ"))), mnMgnify, this);
}

void spPic::onPictureMenu(int index)
{
    static const char* const words[] = {"更新継続", "", "更新閉じる", "閉じる"};
    if (index >= 0 && index < 4)
        m_result = QString::fromUtf8(words[index]);
}

void spPic::onSizeMenu(int index)
{
    m_result = index == 2 ? QStringLiteral("100%") : mnMgnify->caption(index);
}

} // namespace varnel
