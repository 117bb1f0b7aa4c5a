#include "FakePlatform.h"

namespace varnel {

FakePlatform::FakePlatform()
{
    auto c = std::make_unique<FakeClipboard>();
    auto p = std::make_unique<FakePointer>();
    auto t = std::make_unique<FakeTrayIcon>();
    auto s = std::make_unique<FakeShell>();
    auto f = std::make_unique<FakeFamilyStore>();
    auto d = std::make_unique<FakeDialogs>();
    clipboard = c.get();
    pointer = p.get();
    tray = t.get();
    shell = s.get();
    family = f.get();
    dialogs = d.get();
    platform.clipboard = std::move(c);
    platform.pointer = std::move(p);
    platform.tray = std::move(t);
    platform.shell = std::move(s);
    platform.family = std::move(f);
    platform.dialogs = std::move(d);
}

} // namespace varnel
