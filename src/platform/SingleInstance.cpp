#include "SingleInstance.h"

namespace varnel {

QByteArray InstanceMessage::encode() const
{
    if (kind == Kind::Open)
        return QByteArrayLiteral("open ") + file.toUtf8() + '\n';
    return QByteArrayLiteral("show\n");
}

std::optional<InstanceMessage> InstanceMessage::decode(const QByteArray& line)
{
    if (!line.endsWith('\n') || line.indexOf('\n') != line.size() - 1)
        return std::nullopt;
    const QByteArray body = line.chopped(1);
    if (body == "show")
        return InstanceMessage{};
    if (body.startsWith("open ") && body.size() > 5) {
        const QString file = QString::fromUtf8(body.mid(5));
        // Only absolute paths: the sender's working folder means nothing here.
        if (!file.startsWith(QLatin1Char('/')) || file.contains(QChar(0)))
            return std::nullopt;
        return InstanceMessage{Kind::Open, file};
    }
    return std::nullopt;
}

} // namespace varnel
