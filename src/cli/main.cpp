#include <QApplication>
#include <QDir>
#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/BatchRun.h"
#include "app/StartUp.h"
#include "cli/ToolRuns.h"
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
    using varnel::CommandLine;
    // Read before any window system is asked for: help, the version, usage
    // errors and the batch runs work without a display.
    const CommandLine args = CommandLine::parse(CommandLine::arguments(argc, argv), QDir::currentPath());
    switch (args.action) {
    case CommandLine::Action::Help:
        std::fputs(qPrintable(CommandLine::usage()), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(qPrintable(CommandLine::version()), stdout);
        return 0;
    case CommandLine::Action::Fail:
        std::fputs(qPrintable(args.error), stderr);
        return CommandLine::kUsageError;
    case CommandLine::Action::Macro:
        return varnel::RunBatch(argc, argv, args.macroName, args.files);
    case CommandLine::Action::Join:
        return varnel::RunJoin(argc, argv, args);
    case CommandLine::Action::Ocr:
        return varnel::RunOcr(argc, argv, args);
    case CommandLine::Action::Run:
        break;
    }
    varnel::applyStartPlatform(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setQuitOnLastWindowClosed(false);
    varnel::Platform platform = varnel::makeDesktopPlatform();
    int exitCode = 0;
    auto window = varnel::StartUp(platform, QCoreApplication::applicationFilePath(), args.file, &exitCode);
    if (!window)
        return exitCode;
    CloseWatcher watcher;
    window->installEventFilter(&watcher);
    return app.exec();
}
