#include <QApplication>

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
    varnel::applyStartPlatform(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QApplication::setQuitOnLastWindowClosed(false);
    varnel::Platform platform = varnel::makeDesktopPlatform();
    auto window = varnel::StartUp(platform, QCoreApplication::applicationFilePath());
    CloseWatcher watcher;
    window->installEventFilter(&watcher);
    return app.exec();
}
