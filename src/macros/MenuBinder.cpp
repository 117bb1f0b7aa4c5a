#include "MenuBinder.h"

#include <QPointer>

#include "platform/ShownLanguage.h"

namespace varnel {

MenuBinder::MenuBinder(QMenu* menu, MenuGroup* group, QObject* parent)
    : QObject(parent), m_menu(menu), m_group(group)
{
    // Every QMenu carries the name of the group it shows.
    menu->setProperty("varnelGroup", group->name());
    for (MenuGroup* g = group; g; g = g->continuation()) {
        // A group can change its items from inside one of its own actions
        // (the macro menu after recording): rebuilding then would delete the
        // action that is still firing, so the rebuild waits for the event loop.
        connect(g, &MenuGroup::layoutChanged, this, [this] {
            if (m_rebuildPending)
                return;
            m_rebuildPending = true;
            QMetaObject::invokeMethod(this, [this] { rebuild(); }, Qt::QueuedConnection);
        });
        connect(g, &MenuGroup::itemChanged, this, [this, g](int i) { sync(g, i); });
    }
    rebuild();
}

MenuBinder::~MenuBinder() = default;

QMenu* MenuBinder::find(const QList<QAction*>& actions, const QString& groupName)
{
    for (QAction* a : actions)
        if (QMenu* m = a->menu()) {
            if (m->property("varnelGroup").toString() == groupName)
                return m;
            if (QMenu* deeper = find(m->actions(), groupName))
                return deeper;
        }
    return nullptr;
}

namespace {
QString literalAmpersands(QString t)
{
    t.replace(QLatin1String("& "), QLatin1String("&& "));
    return t;
}
} // namespace

QString MenuBinder::displayText(const QString& caption)
{
    return literalAmpersands(shownText(caption));
}

QString MenuBinder::shownCaption(const MenuGroup* group, const QString& caption)
{
    return group->property(kUserNames).toBool() ? literalAmpersands(caption) : displayText(caption);
}

QAction* MenuBinder::action(const MenuGroup* group, int index) const
{
    return m_actions.value({group, index});
}

QMenu* MenuBinder::submenu(const MenuGroup* group, int index) const
{
    MenuBinder* b = m_children.value({group, index});
    return b ? b->menu() : nullptr;
}

void MenuBinder::rebuild()
{
    m_rebuildPending = false;
    for (MenuBinder* c : std::as_const(m_children)) {
        c->menu()->deleteLater();
        c->deleteLater();
    }
    m_children.clear();
    m_menu->clear();
    m_actions.clear();
    for (MenuGroup* g = m_group; g; g = g->continuation()) {
        for (int i = 0; i < g->size(); ++i) {
            if (!g->exists(i))
                continue;
            const MenuItem& it = g->item(i);
            QAction* a = nullptr;
            if (it.submenu) {
                auto* sub = new QMenu(m_menu);
                a = m_menu->addMenu(sub);
                m_children.insert({g, i}, new MenuBinder(sub, it.submenu, this));
            } else {
                a = m_menu->addAction(QString());
                connect(a, &QAction::triggered, this, [this, g, i] {
                    QPointer<MenuBinder> self(this);
                    g->click(i);
                    // Qt flips a checkable action itself; the group decides.
                    if (self)
                        sync(g, i);
                });
            }
            m_actions.insert({g, i}, a);
            sync(g, i);
        }
    }
}

void MenuBinder::sync(MenuGroup* g, int i)
{
    QAction* a = m_actions.value({g, i});
    if (!a)
        return;
    const MenuItem& it = g->item(i);
    a->setSeparator(it.isSeparator());
    a->setText(it.isSeparator() ? QString() : shownCaption(g, it.caption));
    if (QMenu* sub = submenu(g, i))
        sub->setTitle(shownCaption(g, it.caption));
    a->setShortcut(it.shortcut);
    a->setCheckable(g->isCheckable() || it.checked);
    a->setChecked(it.checked);
    a->setEnabled(it.enabled);
    a->setVisible(it.visible);
}

} // namespace varnel
