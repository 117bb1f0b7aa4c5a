#include "MenuGroup.h"

#include <QHash>

#include <algorithm>
#include <new>

namespace varnel {

namespace {
const MenuItem kAbsent;
}

MenuGroup::MenuGroup(const QString& name, const QString& keyword, QObject* parent)
    : QObject(parent), m_name(name), m_keyword(keyword)
{
}

int MenuGroup::add(const QString& caption, const QKeySequence& shortcut)
{
    const int index = size();
    addAt(index, caption, shortcut);
    return index;
}

void MenuGroup::addAt(int index, const QString& caption, const QKeySequence& shortcut)
{
    if (index < 0)
        return;
    if (index >= size())
        m_items.resize(size_t(index) + 1);
    MenuItem& it = m_items[size_t(index)];
    it = MenuItem();
    it.exists = true;
    it.caption = caption;
    it.shortcut = shortcut;
    emit layoutChanged();
}

const MenuItem& MenuGroup::item(int index) const
{
    return exists(index) ? m_items[size_t(index)] : kAbsent;
}

MenuItem& MenuGroup::ref(int index)
{
    return m_items[size_t(index)];
}

void MenuGroup::setCaption(int index, const QString& caption)
{
    if (!exists(index) || ref(index).caption == caption)
        return;
    ref(index).caption = caption;
    emit itemChanged(index);
}

void MenuGroup::setEnabled(int index, bool on)
{
    if (!exists(index) || ref(index).enabled == on)
        return;
    ref(index).enabled = on;
    emit itemChanged(index);
}

void MenuGroup::setVisible(int index, bool on)
{
    if (!exists(index) || ref(index).visible == on)
        return;
    ref(index).visible = on;
    emit itemChanged(index);
}

void MenuGroup::setChecked(int index, bool on)
{
    if (!exists(index) || ref(index).checked == on)
        return;
    ref(index).checked = on;
    emit itemChanged(index);
}

void MenuGroup::setSubmenu(int index, MenuGroup* group)
{
    if (!exists(index))
        return;
    ref(index).submenu = group;
    emit layoutChanged();
}

void MenuGroup::tickOnly(int index)
{
    for (int i = 0; i < size(); ++i)
        if (exists(i))
            setChecked(i, i == index);
}

void MenuGroup::click(int index)
{
    if (!exists(index))
        return;
    if (m_action) {
        const QString argument = m_recorder ? recordedArgument(index) : QString();
        if (runAction(index) && m_recorder && !m_keyword.isEmpty())
            m_recorder(m_keyword, argument);
        return;
    }
    if (m_handler)
        m_handler(index);
}

bool MenuGroup::runAction(int index)
{
    if (!m_guard)
        return m_action(index);
    if (m_guard->refuse && m_guard->refuse())
        return false;
    const char* why = nullptr;
    try {
        return m_action(index);
    } catch (const std::bad_alloc&) {
        why = "メモリが足りないため、この操作はできませんでした。";
    } catch (...) {
        why = "この操作はできませんでした。";
    }
    if (m_guard->failed)
        m_guard->failed(QString::fromUtf8(why));
    return false;
}

void MenuGroup::setRows(std::initializer_list<MenuRow> rows, bool onlyEnabled)
{
    auto actions = std::make_shared<QHash<int, MenuRow>>();
    for (const MenuRow& r : rows) {
        addAt(r.index, QString::fromUtf8(r.caption), r.key);
        if (r.run)
            actions->insert(r.index, r);
    }
    setAction([this, actions, onlyEnabled](int i) {
        const auto row = actions->constFind(i);
        if (row == actions->cend() || (onlyEnabled && !isEnabled(i)))
            return false;
        if (row->waits && m_guard && m_guard->wait && !m_guard->wait())
            return false;
        return row->run();
    });
}

int MenuGroup::findForReplay(const QString& argument, int first, int last) const
{
    const int end = last < 0 ? size() - 1 : std::min(last, size() - 1);
    for (int i = std::max(first, 0); i <= end; ++i)
        if (exists(i) && m_items[size_t(i)].caption == argument)
            return i;
    for (int i = std::max(first, 0); i <= end; ++i)
        if (exists(i) && m_items[size_t(i)].caption.startsWith(argument))
            return i;
    return -1;
}

QString MenuGroup::recordedArgument(int index) const
{
    const QString caption = item(index).caption;
    const QString cut = caption.left(caption.indexOf(QLatin1Char('(')) < 0 ? caption.size()
                                                                          : caption.indexOf(QLatin1Char('(')));
    if (cut == caption)
        return caption;
    for (int i = 0; i < size(); ++i)
        if (i != index && exists(i) && m_items[size_t(i)].caption.startsWith(cut))
            return caption;
    return cut;
}

int MenuGroup::findByPrefix(const QString& prefix) const
{
    for (int i = 0; i < size(); ++i)
        if (exists(i) && m_items[size_t(i)].caption.startsWith(prefix))
            return i;
    return -1;
}

void MenuGroup::removeFrom(int index)
{
    if (index < 0 || index >= size())
        return;
    m_items.resize(size_t(index));
    emit layoutChanged();
}

} // namespace varnel
