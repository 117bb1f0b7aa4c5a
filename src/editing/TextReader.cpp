#include "TextReader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace varnel {

namespace {

bool isJapanese(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

// A binary grey PNM: the reader takes it on its standard input as it is,
// with no encoding work on our side.
QByteArray pgm(const QImage& grey)
{
    QByteArray out = QByteArrayLiteral("P5\n") + QByteArray::number(grey.width()) + ' ' +
                     QByteArray::number(grey.height()) + "\n255\n";
    const qsizetype head = out.size();
    out.resize(head + qsizetype(grey.width()) * grey.height());
    char* p = out.data() + head;
    for (int y = 0; y < grey.height(); ++y, p += grey.width())
        std::memcpy(p, grey.constScanLine(y), size_t(grey.width()));
    return out;
}

} // namespace

TextReader::TextReader(QString program, QObject* parent)
    : QObject(parent), m_program(program.isEmpty() ? QStringLiteral("tesseract") : std::move(program)),
      m_timer(new QTimer(this))
{
    qRegisterMetaType<varnel::TextReader::Result>();
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_process)
            m_process->kill();
        finish({false, {}, QStringLiteral("文字の読み取りが %1 秒で終わらないため中止しました").arg(m_timeoutMs / 1000)});
    });
}

TextReader::~TextReader()
{
    cancel();
}

QString TextReader::executable() const
{
    if (m_program.contains(QLatin1Char('/')))
        return QFileInfo(m_program).isExecutable() ? m_program : QString();
    return QStandardPaths::findExecutable(m_program);
}

QString TextReader::missingMessage()
{
    return QStringLiteral("文字の読み取りには tesseract が必要ですが、見つかりません。\n"
                          "次のコマンドで入れてください:\n"
                          "sudo apt-get install tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng");
}

QImage TextReader::prepare(const QImage& picture, int scale)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    return grey.scaled(grey.width() * scale, grey.height() * scale, Qt::IgnoreAspectRatio,
                       Qt::SmoothTransformation);
}

QString TextReader::tidy(const QString& raw)
{
    QStringList lines;
    for (const QString& line : raw.split(QLatin1Char('\n'))) {
        QString out;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            if (c == QLatin1Char(' ') && !out.isEmpty() && isJapanese(out.back())) {
                qsizetype j = i;
                while (j < line.size() && line[j] == QLatin1Char(' '))
                    ++j;
                if (j < line.size() && isJapanese(line[j])) {
                    i = j - 1;
                    continue;
                }
            }
            out += c;
        }
        lines << out.trimmed();
    }
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    // Runs of empty lines (the reader's paragraph breaks) become one.
    QStringList kept;
    for (const QString& l : lines)
        if (!(l.isEmpty() && !kept.isEmpty() && kept.back().isEmpty()))
            kept << l;
    return kept.join(QLatin1Char('\n'));
}

bool TextReader::start(const QImage& picture, int timeoutMs)
{
    if (m_running)
        return false;
    m_running = true;
    m_timeoutMs = timeoutMs;
    const int generation = ++m_generation;
    if (executable().isEmpty()) {
        QMetaObject::invokeMethod(this, [this] { finish({false, {}, missingMessage()}); }, Qt::QueuedConnection);
        return true;
    }
    if (picture.isNull()) {
        QMetaObject::invokeMethod(this, [this] { finish({false, {}, QStringLiteral("画像がありません")}); },
                                  Qt::QueuedConnection);
        return true;
    }
    m_timer->start(timeoutMs);
    // Enlarging a big picture takes a while: not on the window's thread.
    QPointer<TextReader> self(this);
    QThread* worker = QThread::create([self, picture, generation, scale = m_scale] {
        QByteArray bytes = pgm(prepare(picture, scale));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, bytes = std::move(bytes), generation] {
                if (self && self->m_running && self->m_generation == generation)
                    self->launch(bytes);
            },
            Qt::QueuedConnection);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    return true;
}

void TextReader::launch(const QByteArray& prepared)
{
    m_process = new QProcess(this);
    QProcess* proc = m_process;
    // One thread each: several readers at once would share two cores badly.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    proc->setProcessEnvironment(env);
    connect(proc, &QProcess::finished, this, [this, proc](int code, QProcess::ExitStatus status) {
        if (proc != m_process)
            return;
        const QString out = QString::fromUtf8(proc->readAllStandardOutput());
        if (status != QProcess::NormalExit || code != 0) {
            QString why = QString::fromLocal8Bit(proc->readAllStandardError()).trimmed();
            if (why.size() > 400)
                why = why.left(400) + QStringLiteral("…");
            finish({false, {},
                    QStringLiteral("tesseract が失敗しました (終了コード %1)\n%2\n日本語と英語のデータが必要です: "
                                   "sudo apt-get install tesseract-ocr-jpn tesseract-ocr-eng")
                        .arg(code)
                        .arg(why)});
            return;
        }
        finish({true, tidy(out), {}});
    });
    connect(proc, &QProcess::errorOccurred, this, [this, proc](QProcess::ProcessError e) {
        if (proc != m_process || e != QProcess::FailedToStart)
            return;
        finish({false, {}, missingMessage()});
    });
    proc->start(executable(), {QStringLiteral("stdin"), QStringLiteral("stdout"), QStringLiteral("-l"),
                               QStringLiteral("jpn+eng"), QStringLiteral("--dpi"),
                               QString::number(96 * m_scale), QStringLiteral("--psm"), QStringLiteral("3")});
    proc->write(prepared);
    proc->closeWriteChannel();
}

void TextReader::finish(Result r)
{
    if (!m_running)
        return;
    m_running = false;
    m_timer->stop();
    if (QProcess* p = std::exchange(m_process, nullptr)) {
        p->disconnect(this);
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(1000);
        }
        p->deleteLater();
    }
    emit finished(r);
}

void TextReader::cancel()
{
    if (!m_running)
        return;
    ++m_generation;
    m_running = false;
    m_timer->stop();
    if (QProcess* p = std::exchange(m_process, nullptr)) {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(1000);
        delete p;
    }
}

TextReader::Result TextReader::readNow(const QImage& picture, int timeoutMs)
{
    Result result;
    QEventLoop loop;
    auto c = connect(this, &TextReader::finished, &loop, [&](const Result& r) {
        result = r;
        loop.quit();
    });
    if (start(picture, timeoutMs))
        loop.exec();
    disconnect(c);
    return result;
}

} // namespace varnel
