#include "Icons.h"

namespace varnel::Icons {

namespace {
struct ToolIcon {
    const char* theme;
    const char* own;
};
// Stitching and "copy and stand by" have no standard names: ours only.
constexpr ToolIcon kTools[kToolCount] = {
    {"document-open", "open"},   {"document-save", "save"},   {"document-save-as", "numbered-save"},
    {"folder-open", "folder"},   {"edit-paste", "paste"},     {"edit-copy", "copy"},
    {"edit-cut", "trim"},        {nullptr, "stitch-vertical"}, {nullptr, "stitch-horizontal"},
    {nullptr, "standby"}};

QIcon own(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}
} // namespace

QString themeName(int i)
{
    if (i < 0 || i >= kToolCount || !kTools[i].theme)
        return {};
    return QString::fromLatin1(kTools[i].theme);
}

QIcon tool(int i)
{
    if (i < 0 || i >= kToolCount)
        return {};
    const QIcon fallback = own(kTools[i].own);
    const QString name = themeName(i);
    return name.isEmpty() ? fallback : QIcon::fromTheme(name, fallback);
}

QIcon program()
{
    return own("varnel");
}

} // namespace varnel::Icons
