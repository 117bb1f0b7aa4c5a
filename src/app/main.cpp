#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "app/CommandLine.h"
#include "app/BatchRun.h"
#include "app/StartUp.h"
#include "app/fmMain.h"
#include "platform/Platform.h"
#include "platform/StartPlatform.h"

namespace {
// The window hides in standby, so the last-window rule cannot end the
// program: a close of the main window does.
class CloseWatcher : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Close) {
            auto* w = static_cast<QWidget*>(o);
            QMetaObject::invokeMethod(
                qApp, [w] { if (!w->isVisible()) QCoreApplication::quit(); }, Qt::QueuedConnection);
        }
        return false;
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (varnel::IsBatchRun(argc, argv)) return varnel::RunBatch(argc, argv);
    varnel::applyStartPlatform(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setQuitOnLastWindowClosed(false);
    const varnel::CommandLine args =
        varnel::CommandLine::parse(QCoreApplication::arguments().mid(1), QDir::currentPath());
    if (args.action == varnel::CommandLine::Action::Help) {
        QTextStream(stdout) << varnel::CommandLine::usage();
        return 0;
    }
    if (args.action == varnel::CommandLine::Action::Fail) {
        QTextStream(stderr) << args.error;
        return varnel::CommandLine::kUsageError;
    }
    varnel::Platform platform = varnel::makeDesktopPlatform();
    int exitCode = 0;
    auto window = varnel::StartUp(platform, QCoreApplication::applicationFilePath(), args.file, &exitCode);
    if (!window)
        return exitCode;
    CloseWatcher watcher;
    window->installEventFilter(&watcher);
    return app.exec();
}
