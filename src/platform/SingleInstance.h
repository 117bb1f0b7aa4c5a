#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

namespace varnel {

// What a second start asks of the program already running on the same user
// data folder: come to the front, or open a picture file and come to the
// front.
struct InstanceMessage {
    enum class Kind { Show, Open };
    Kind kind = Kind::Show;
    QString file; // absolute path, for Open

    // The body's length (4 bytes, big-endian), then the body in UTF-8:
    // "show" or "open <path>", where the path may hold any character.
    QByteArray encode() const;
    // Empty for anything that is not one whole, known message.
    static std::optional<InstanceMessage> decode(const QByteArray& frame);
    // The body length a frame's first 4 bytes announce.
    static quint32 frameSize(const QByteArray& head);
    static constexpr quint32 kMaxBody = 64 * 1024;
    bool operator==(const InstanceMessage&) const = default;
};

// One program per user data folder. The first start claims the folder and
// listens; a later start finds it claimed and hands its request over. A
// claim left by a program that crashed does not count.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    ~SingleInstance() override = default;
    // True when this process now holds the folder. The claim lasts until
    // release() or the end of the process.
    virtual bool claim(const QString& userDataFolder) = 0;
    // Hands a message to the holder of the folder; false when nobody took it
    // (no holder, or a holder that does not answer in time).
    virtual bool send(const QString& userDataFolder, const InstanceMessage& message) = 0;
    virtual void release() = 0;

signals:
    void received(const varnel::InstanceMessage& message);
};

} // namespace varnel

Q_DECLARE_METATYPE(varnel::InstanceMessage)
