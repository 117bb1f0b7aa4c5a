#pragma once
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace varnel {

class MenuGroup;

// One item of a menu group, addressed by its fixed index. Items that do not
// exist keep their index free ("index 2 does not exist").
struct MenuItem {
    bool exists = false;
    QString caption;
    QKeySequence shortcut;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    MenuGroup* submenu = nullptr;   // the item opens this group
    bool isSeparator() const { return caption == QLatin1String("-"); }
};

// One row of a menu table: the item's fixed index, caption and shortcut,
// and what choosing it does, answering whether it acted (and so was a macro
// step). Rows without an action are separators and submenus.
struct MenuRow {
    int index;
    const char* caption;
    QKeySequence key = {};
    std::function<bool()> run = {};
    bool waits = true; // false: runs at once (a paste must not wait for the paste before it)
};

// What every command of the window's tables shares: commands are taken one
// at a time and in order, and one that breaks down ends itself, not the
// program.
struct MenuGuard {
    std::function<bool()> refuse;                // true: no command is taken now
    std::function<bool()> wait;                  // before a row that waits; false ends the click
    std::function<void(const QString&)> failed;  // a command broke down; the user is told why
};

// A menu's items as data, with one handler taking the item's index. Clicks,
// tool-strip buttons and replayed macro lines all go through click(), so they
// behave alike; widgets only mirror the state.
class MenuGroup : public QObject {
    Q_OBJECT
public:
    // keyword: the macro keyword of the group (empty when the group records nothing).
    explicit MenuGroup(const QString& name, const QString& keyword = {}, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    const QString& keyword() const { return m_keyword; }

    // Adds an item at the next index, or at a given one (leaving gaps absent).
    int add(const QString& caption, const QKeySequence& shortcut = {});
    void addAt(int index, const QString& caption, const QKeySequence& shortcut = {});

    int size() const { return int(m_items.size()); }
    bool exists(int index) const { return index >= 0 && index < size() && m_items[size_t(index)].exists; }
    const MenuItem& item(int index) const;

    QString caption(int index) const { return item(index).caption; }
    bool isEnabled(int index) const { return item(index).enabled; }
    bool isVisible(int index) const { return item(index).visible; }
    bool isChecked(int index) const { return item(index).checked; }

    void setCaption(int index, const QString& caption);
    void setEnabled(int index, bool on);
    void setVisible(int index, bool on);
    void setChecked(int index, bool on);
    void setSubmenu(int index, MenuGroup* group);
    // The menu that shows this group goes on with another group's items
    // (the registered ranges, then the range commands).
    void setContinuation(MenuGroup* group) { m_continuation = group; }
    MenuGroup* continuation() const { return m_continuation; }
    // Items of a tick group show a check box even while unticked.
    void setCheckable(bool on) { m_checkable = on; }
    bool isCheckable() const { return m_checkable; }
    // Ticks exactly the item at index among the existing items (none when out of range).
    void tickOnly(int index);

    void setHandler(std::function<void(int)> handler)
    {
        m_handler = std::move(handler);
        m_action = nullptr;
    }
    // An action that answers whether the item acted: then the group hands
    // its keyword and the item's macro argument (taken before the action,
    // whose caption may change) to the recorder. Takes the handler's place.
    void setAction(std::function<bool(int)> action)
    {
        m_action = std::move(action);
        m_handler = nullptr;
    }
    // The items and the action from a table; with onlyEnabled a disabled
    // item does nothing.
    void setRows(std::initializer_list<MenuRow> rows, bool onlyEnabled);
    // Applies to the action's clicks.
    void setGuard(std::shared_ptr<const MenuGuard> guard) { m_guard = std::move(guard); }
    void setRecorder(std::function<void(const QString& keyword, const QString& argument)> recorder)
    {
        m_recorder = std::move(recorder);
    }
    // Runs the group's action or handler for an existing item; it decides
    // whether a disabled item acts.
    void click(int index);

    // The first existing item, in index order, whose caption begins with
    // prefix (exact comparison); -1 when none. Hidden and disabled items count.
    int findByPrefix(const QString& prefix) const;
    // The item a macro argument names among items first..last (last -1: to
    // the end): the one whose caption equals it, else the first whose
    // caption begins with it; -1 when none.
    int findForReplay(const QString& argument, int first = 0, int last = -1) const;
    // What a macro line records for an item: its caption cut before the
    // first "(", or the whole caption when the cut would name another item
    // of the group too.
    QString recordedArgument(int index) const;

    // Removes the items from index on (lists built at run time shrink).
    void removeFrom(int index);

signals:
    void itemChanged(int index);
    void layoutChanged();

private:
    MenuItem& ref(int index);
    QString m_name;
    QString m_keyword;
    std::vector<MenuItem> m_items;
    std::function<void(int)> m_handler;
    std::shared_ptr<const MenuGuard> m_guard;
    bool runAction(int index);
    std::function<bool(int)> m_action;
    std::function<void(const QString&, const QString&)> m_recorder;
    MenuGroup* m_continuation = nullptr;
    bool m_checkable = false;
};

} // namespace varnel
