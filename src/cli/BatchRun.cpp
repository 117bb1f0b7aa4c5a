#include "BatchRun.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QTextStream>

#include "app/StartUp.h"
#include "editing/PictureSurface.h"
#include "app/fmMain.h"
#include "macros/MacroScript.h"
#include "macros/MenuGroup.h"
#include "platform/BatchDialogs.h"
#include "platform/ShownLanguage.h"

namespace varnel {

namespace {
// A message as the terminal shows it: in the language shown, on one line.
QString oneLine(const QStringList& messages)
{
    QStringList shown;
    for (const QString& m : messages)
        shown << shownText(m);
    QString s = shown.join(QLatin1String("; "));
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}
} // namespace

// Any other window that opens during a step (a command's own modal
// dialog) would wait for a person: it is closed at once and the file fails.
class BatchRun::ModalGuard : public QObject {
public:
    ModalGuard(QWidget* main, BatchDialogs& dialogs) : m_main(main), m_dialogs(dialogs)
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::Show || !o->isWidgetType())
            return false;
        auto* wgt = static_cast<QWidget*>(o);
        const Qt::WindowType type = wgt->windowType();
        if (!wgt->isWindow() || wgt == m_main || type == Qt::Popup || type == Qt::ToolTip)
            return false;
        m_dialogs.refused(QStringLiteral("the window \"") + wgt->windowTitle() + QLatin1Char('"'));
        QPointer<QWidget> target(wgt);
        QMetaObject::invokeMethod(
            this,
            [target] {
                if (!target)
                    return;
                if (auto* d = qobject_cast<QDialog*>(target.data()))
                    d->reject();
                else
                    target->close();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QWidget* m_main;
    BatchDialogs& m_dialogs;
};

BatchRun::BatchRun(fmMain& window, BatchDialogs& dialogs, QTextStream& out)
    : m_window(window), m_dialogs(dialogs), m_out(out), m_guard(new ModalGuard(&window, dialogs))
{
    MacroRunner& runner = m_window.macroRunner();
    // Standby and the program's end belong to a person at the desktop.
    runner.refuse = [](const MenuGroup& g, int index) -> QString {
        if (g.name() == QLatin1String("mnFile") && (index == 9 || index == 11))
            return QStringLiteral("the step ") + g.keyword() + MacroScript::kArrow + g.caption(index) +
                   QStringLiteral(" cannot be used in a batch run");
        return {};
    };
    runner.failure = [this] { return m_dialogs.failure(); };
}

BatchRun::~BatchRun()
{
    MacroRunner& runner = m_window.macroRunner();
    runner.refuse = nullptr;
    runner.failure = nullptr;
    delete m_guard;
}

QString BatchRun::runFile(const QString& macroName, const QString& path)
{
    m_dialogs.clear();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Each file starts fresh: nothing of the file before is asked about.
    m_window.ClearPicture();
    m_window.WrittenFiles.clear();
    m_window.OpenPictureFile(absolute);
    if (!m_dialogs.failure().isEmpty())
        return m_dialogs.failure();
    if (m_window.CurrentFilePath.isEmpty() || !m_window.surface()->hasPicture())
        return QStringLiteral("cannot be opened as a picture");
    const MacroRunner::Result r = m_window.RunMacroNamed(macroName);
    if (!r.found)
        return QStringLiteral("no macro named \"") + macroName + QLatin1Char('"');
    return r.error;
}

QString BatchRun::writtenReport() const
{
    QString report;
    for (const QString& f : m_window.WrittenFiles)
        report += QStringLiteral("; wrote ") + f;
    // A change nothing wrote would be lost without a word.
    if (m_window.PictureState == 2)
        report += QStringLiteral("; 変更は保存されていません / changed but not saved");
    else if (m_window.WrittenFiles.isEmpty())
        report += QStringLiteral("; nothing written");
    return report;
}

int BatchRun::run(const QString& macroName, const QStringList& files)
{
    // Whatever the start-up had to say (a settings file it could not read).
    for (const QString& m : m_dialogs.messages())
        m_out << "varnel: " << oneLine({m}) << Qt::endl;
    m_dialogs.clear();
    QString body;
    if (!MacroScript::findBody(m_window.MacroText, macroName, body)) {
        m_out << "varnel: no stored macro is named \"" << macroName << "\"" << Qt::endl;
        return 2;
    }
    if (files.isEmpty()) {
        m_out << "varnel: no files given" << Qt::endl;
        return 2;
    }
    const qsizetype n = files.size();
    int failed = 0;
    for (qsizetype i = 0; i < n; ++i) {
        // The file's place shows at once: a long batch tells how far it is.
        m_out << '[' << (i + 1) << '/' << n << "] " << files[i] << ": " << Qt::flush;
        const QString why = runFile(macroName, files[i]);
        if (why.isEmpty()) {
            m_out << "done";
            if (!m_dialogs.messages().isEmpty())
                m_out << " (" << oneLine(m_dialogs.messages()) << ')';
            m_out << writtenReport();
        } else {
            ++failed;
            m_out << "failed: " << oneLine({why});
        }
        m_out << Qt::endl;
    }
    m_out << (n - failed) << " of " << n << " files done" << Qt::endl;
    return failed ? 1 : 0;
}

int RunBatch(int argc, char** argv, const QString& name, const QStringList& files)
{
    bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0)
            platformChosen = true;
    // Runs without a display; the window is never shown anyway.
    if (!platformChosen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setQuitOnLastWindowClosed(false);

    QTextStream out(stdout);

    Platform platform = makeDesktopPlatform();
    // A batch works beside a running program on the same folder: it claims
    // nothing, and it never writes the settings back.
    platform.instance.reset();
    // A signal ends a batch at once: the orderly exit would save settings.
    platform.exitRequests.reset();
    auto* dialogs = new BatchDialogs;
    platform.dialogs.reset(dialogs);
    std::unique_ptr<fmMain> window = StartUp(platform, QCoreApplication::applicationFilePath(), {}, nullptr, false);
    int status = 0;
    {
        BatchRun batch(*window, *dialogs, out);
        status = batch.run(name, files);
    }
    // Closed without the exit command: nothing is written back.
    window.reset();
    return status;
}

} // namespace varnel
