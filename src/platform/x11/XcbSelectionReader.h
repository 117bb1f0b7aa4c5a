#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QStringList>

#include <functional>
#include <optional>

#include <xcb/xcb.h>

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
    // a refusal (no such format, an answer of no bytes, or no owner) from
    // the other cases.
    std::optional<QByteArray> read(const QByteArray& target, int quietMs = 5000,
                                   qint64 maxBytes = kMaxBytes, int wholeMs = kWholeReadMs,
                                   bool* refused = nullptr);

    // The formats (targets) the clipboard's owner offers; nothing without a
    // connection, empty when there is no owner or it does not answer.
    std::optional<QStringList> targets(int quietMs = 5000);

    // A read in progress is given up (and comes back empty, cancelled() true)
    // when wakeFd becomes readable, or when interrupt returns true for an
    // event of this connection that is not the read's own. Every such event
    // is shown to interrupt, also when it lets the read go on.
    void setInterrupt(int wakeFd, std::function<bool(const xcb_generic_event_t*)> interrupt);
    bool cancelled() const { return m_cancelled; }

    // Connects when not connected yet; false without a server.
    bool open();
    xcb_connection_t* connection() const { return m_conn; }
    unsigned window() const { return m_window; }
    unsigned atom(const QByteArray& name);

private:
    bool connect();
    void disconnect();
    // A new window to receive into, so that an owner still writing to the
    // old one after a read was given up cannot mix into the next read.
    void renewWindow();
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
    unsigned m_root = 0, m_window = 0;
    unsigned m_clipboard = 0, m_incr = 0, m_property = 0;
    QHash<QByteArray, unsigned> m_atoms;
    QHash<unsigned, QString> m_names;
    QDeadlineTimer m_wholeRead;
    int m_wakeFd = -1;
    std::function<bool(const xcb_generic_event_t*)> m_interrupt;
    bool m_cancelled = false;
};

} // namespace varnel
