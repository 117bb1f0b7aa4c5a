#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QStringList>

#include <optional>

struct xcb_connection_t;

namespace varnel {

// Reads the clipboard in one format over an X connection of its own. Qt's
// reader fetches a large transfer a piece at a time through its event
// thread, at a fraction of what the X server allows; a screenshot is
// megabytes, and this read is the first half of every capture.
class XcbSelectionReader {
public:
    // Null: the DISPLAY of the environment.
    explicit XcbSelectionReader(QByteArray display = {});
    ~XcbSelectionReader();
    XcbSelectionReader(const XcbSelectionReader&) = delete;
    XcbSelectionReader& operator=(const XcbSelectionReader&) = delete;

    // The most a read takes in all, however the owner paces its pieces.
    static constexpr int kWholeReadMs = 30000;
    // The most a read takes in: a 16384 x 16384 32-bit bitmap, with room to
    // spare (the decoders refuse anything bigger).
    static constexpr qint64 kMaxBytes = (qint64(1) << 30) + (qint64(1) << 20);

    // The clipboard's content as `target` (a MIME type). Nothing when this
    // reader has no connection, so the caller can ask Qt instead; empty when
    // the owner refused, went quiet for `quietMs`, took longer than `wholeMs`
    // in all, or offered more than `maxBytes`. *refused (when given) tells
    // a refusal (no such format, or no owner) from the other cases.
    std::optional<QByteArray> read(const QByteArray& target, int quietMs = 5000,
                                   qint64 maxBytes = kMaxBytes, int wholeMs = kWholeReadMs,
                                   bool* refused = nullptr);

    // The formats (targets) the clipboard's owner offers; nothing without a
    // connection, empty when there is no owner or it does not answer.
    std::optional<QStringList> targets(int quietMs = 5000);

private:
    bool connect();
    void disconnect();
    unsigned atom(const QByteArray& name);
    // Waits for the selection's answer (its property, or none) or for a new
    // value in our property; false after quietMs without one, or when the
    // whole read's time is up.
    template <typename Wanted>
    bool waitFor(Wanted wanted, int quietMs);
    bool waitForAnswer(unsigned target, unsigned* property, int quietMs);
    bool waitForNewValue(int quietMs);
    // Appends the whole property to out and deletes it (which asks an
    // incremental owner for the next piece); false on any fault.
    bool takeProperty(QByteArray& out, qint64 maxBytes, bool* empty);

    QByteArray m_display;
    xcb_connection_t* m_conn = nullptr;
    unsigned m_window = 0;
    unsigned m_clipboard = 0, m_incr = 0, m_property = 0;
    QHash<QByteArray, unsigned> m_atoms;
    QHash<unsigned, QString> m_names;
    QDeadlineTimer m_wholeRead;
};

} // namespace varnel
