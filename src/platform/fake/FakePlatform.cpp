#include "FakePlatform.h"

#include <QHash>

namespace varnel {

namespace {
QHash<QString, FakeSingleInstance*>& holders()
{
    static QHash<QString, FakeSingleInstance*> h;
    return h;
}
} // namespace

bool FakeSingleInstance::claim(const QString& folder)
{
    release();
    if (holders().contains(folder))
        return false;
    holders().insert(folder, this);
    m_folder = folder;
    return true;
}

bool FakeSingleInstance::send(const QString& folder, const InstanceMessage& m)
{
    sent << m;
    FakeSingleInstance* holder = holders().value(folder);
    if (!holder || holder == this)
        return false;
    emit holder->received(m);
    return true;
}

void FakeSingleInstance::release()
{
    if (!m_folder.isEmpty() && holders().value(m_folder) == this)
        holders().remove(m_folder);
    m_folder.clear();
}

void FakeSingleInstance::crashHolderOf(const QString& folder)
{
    if (FakeSingleInstance* h = holders().take(folder))
        h->m_folder.clear();
}

FakePlatform::FakePlatform()
{
    auto c = std::make_unique<FakeClipboard>();
    auto p = std::make_unique<FakePointer>();
    auto t = std::make_unique<FakeTrayIcon>();
    auto s = std::make_unique<FakeShell>();
    auto f = std::make_unique<FakeFamilyStore>();
    auto d = std::make_unique<FakeDialogs>();
    auto i = std::make_unique<FakeSingleInstance>();
    auto x = std::make_unique<FakeExitRequests>();
    clipboard = c.get();
    pointer = p.get();
    tray = t.get();
    shell = s.get();
    family = f.get();
    dialogs = d.get();
    instance = i.get();
    exitRequests = x.get();
    platform.clipboard = std::move(c);
    platform.pointer = std::move(p);
    platform.tray = std::move(t);
    platform.shell = std::move(s);
    platform.family = std::move(f);
    platform.dialogs = std::move(d);
    platform.instance = std::move(i);
    platform.exitRequests = std::move(x);
}

} // namespace varnel
