#include "SingleInstance.h"

namespace varnel {

QByteArray InstanceMessage::encode() const
{
    const QByteArray body = kind == Kind::Open ? QByteArrayLiteral("open ") + file.toUtf8()
                                               : QByteArrayLiteral("show");
    const quint32 n = quint32(body.size());
    const char head[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(head, 4) + body;
}

quint32 InstanceMessage::frameSize(const QByteArray& head)
{
    if (head.size() < 4)
        return 0;
    const auto b = [&](int i) { return quint32(quint8(head[i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::optional<InstanceMessage> InstanceMessage::decode(const QByteArray& frame)
{
    const quint32 size = frameSize(frame);
    if (frame.size() < 4 || size > kMaxBody || frame.size() != 4 + qsizetype(size))
        return std::nullopt;
    const QByteArray body = frame.mid(4);
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
