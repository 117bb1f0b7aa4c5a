#pragma once
#include <QHash>
#include <QMenu>
#include <QObject>
#include <memory>
#include <vector>

#include "macros/MenuGroup.h"

namespace varnel {

// Mirrors menu groups (and the groups they continue with) into a QMenu:
// one action per item, kept in step with the group's captions, ticks,
// enabling and visibility; a triggered action clicks its group.
class MenuBinder : public QObject {
    Q_OBJECT
public:
    MenuBinder(QMenu* menu, MenuGroup* group, QObject* parent = nullptr);
    ~MenuBinder() override;

    QMenu* menu() const { return m_menu; }
    QAction* action(const MenuGroup* group, int index) const;
    // The QMenu shown for an item that opens a submenu.
    QMenu* submenu(const MenuGroup* group, int index) const;

    // The text an item shows for its caption: in the language shown (the
    // group keeps the Japanese caption that macros record and match), with
    // "&" before a blank as a literal ampersand, not a mnemonic.
    static QString displayText(const QString& caption);
    // Groups with this property set hold names the user gave (macros,
    // registered ranges): shown as typed, never translated.
    static constexpr const char* kUserNames = "varnelUserNames";
    // The QMenu that shows a group, among these actions' menus and theirs.
    static QMenu* find(const QList<QAction*>& actions, const QString& groupName);

private:
    void rebuild();
    void sync(MenuGroup* group, int index);
    static QString shownCaption(const MenuGroup* group, const QString& caption);

    QMenu* m_menu;
    MenuGroup* m_group;
    bool m_rebuildPending = false;
    QHash<QPair<const MenuGroup*, int>, QAction*> m_actions;
    QHash<QPair<const MenuGroup*, int>, MenuBinder*> m_children;
};

} // namespace varnel
