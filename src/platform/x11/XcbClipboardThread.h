#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

namespace varnel {

class XcbSelectionReader;

// One read of another program's clipboard picture: the format chosen and
// its bytes, as they came.
struct FetchedPicture {
    enum Status {
        Got,          // bytes in `format`
        NoPicture,    // the owner offers no picture (text, say), or none owns it
        Failed,       // refused, stalled, too big
        Cancelled,    // given up for a newer owner, a vanished one, or a stop
        NoConnection, // no X server over our own connection
        InProcessQt,  // only Qt's in-process picture type: Qt's own reader must take it
    };
    Status status = Failed;
    QString format;
    QByteArray bytes;
};

// Picks the format to ask an owner for and reads it. A series of captures
// comes from one tool in one format: the format the last picture came in is
// asked for at once, without asking for the list of formats first; a
// refusal costs no more than that question would have.
class PictureFetcher {
public:
    FetchedPicture fetch(XcbSelectionReader& reader, int quietMs = 5000);

    // The MIME type to fetch, first match wins: cheap decodes before dear ones.
    static QString chooseFormat(const QStringList& offered);
    // Identifies fetched bytes (never 0, which stands for "nothing taken").
    static quint64 keyOf(const QByteArray& bytes);

private:
    QString m_lastFormat;
};

// Watches the X clipboard on a thread and a connection of its own: every
// change of owner is read and decoded there, and only finished pictures
// reach the window. A read is given up at once for a newer owner, when the
// owner's window or client goes away, and at stop(). Where no program holds
// the clipboard manager's role, this one takes it: an owner that hands its
// clipboard over before exiting is read, captured, and its picture is
// offered further so that a later paste still works.
class XcbClipboardThread {
public:
    struct Result {
        QImage picture; // null: the change carried no picture
        quint64 key = 0;
    };
    using Decode = std::function<QImage(const QByteArray&, const QString&)>;
    // Called on the watching thread, in the order the copies were made.
    using Deliver = std::function<void(Result)>;

    // ownBase/ownMask: the resource ids of this program's own X connection;
    // an owner among them is a copy this program made itself.
    XcbClipboardThread(QByteArray display, quint32 ownBase, quint32 ownMask, Decode decode,
                       Deliver deliver);
    ~XcbClipboardThread();
    XcbClipboardThread(const XcbClipboardThread&) = delete;
    XcbClipboardThread& operator=(const XcbClipboardThread&) = delete;

    // False when there is no server or it lacks XFixes: nothing runs then.
    bool start();
    // Gives up any read and every role, and ends the thread.
    void stop();

    // Holds the clipboard manager's role (for tests and diagnostics).
    bool isManager() const { return m_manager; }

private:
    class Loop;
    QByteArray m_display;
    quint32 m_ownBase, m_ownMask;
    Decode m_decode;
    Deliver m_deliver;
    int m_wakeFd = -1;
    std::thread m_thread;
    std::atomic<bool> m_manager{false};
};

} // namespace varnel
