#pragma once
#include <QImage>
#include <QObject>
#include <QString>

#include <algorithm>

class QProcess;
class QTimer;

namespace varnel {

// Reads the text in a picture with the tesseract command (Japanese and
// English), run as a separate process with an argument list, never through
// a shell. Everything is asynchronous: the picture is prepared on a worker
// thread, the process is fed and read through the event loop, and a time
// limit ends a process that hangs; the result arrives by finished().
class TextReader : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool ok = false;
        QString text;  // the text read, lines joined by "\n"
        QString error; // why nothing was read (Japanese, for the window)
    };

    // program: the command to run; empty means "tesseract" on the PATH.
    explicit TextReader(QString program = {}, QObject* parent = nullptr);
    ~TextReader() override;

    // The command as found; empty when it is not installed.
    QString executable() const;
    // What the user is told when tesseract is missing, with how to install it.
    static QString missingMessage();

    // Screenshots are 96 dpi and their letters a few pixels high: grey,
    // enlarged kScale times with smoothing, as the reader expects scans.
    // Twice reads 12-16 px text better than three times (measured), in
    // less than half the time.
    static constexpr int kScale = 2;
    static QImage prepare(const QImage& picture, int scale = kScale);
    // Another enlargement for the reads to come (the bench compares them).
    void setScale(int scale) { m_scale = std::clamp(scale, 1, 4); }
    // The reader's output tidied: no blanks between Japanese characters
    // (it puts one between every two), no blank lines at the ends.
    static QString tidy(const QString& raw);

    // Starts reading; false (and no finished()) while a read runs. A read
    // that takes longer than timeoutMs is ended and reported as failed.
    bool start(const QImage& picture, int timeoutMs = 60000);
    bool isRunning() const { return m_running; }
    // Ends a running read; finished() is not sent for it.
    void cancel();
    // For the command line: starts and waits in an event loop of its own.
    Result readNow(const QImage& picture, int timeoutMs = 60000);

signals:
    void finished(const varnel::TextReader::Result& result);

private:
    void launch(const QByteArray& prepared);
    void finish(Result r);
    QString m_program;
    QProcess* m_process = nullptr;
    QTimer* m_timer = nullptr;
    bool m_running = false;
    int m_generation = 0;
    int m_timeoutMs = 0;
    int m_scale = kScale;
};

} // namespace varnel
