#pragma once
#include <QString>
#include <QStringList>

class QTextStream;

namespace varnel {

class BatchDialogs;
class fmMain;

// "varnel --macro NAME FILE…": each file is opened as the open command
// would, the stored macro runs on it, one line per file tells how it went.
// No window is shown, standby is never entered, the settings are never
// written.
class BatchRun {
public:
    BatchRun(fmMain& window, BatchDialogs& dialogs, QTextStream& out);
    ~BatchRun();

    // 0 when every file was done, 1 when some failed, 2 when nothing could
    // run (no such macro, no files).
    int run(const QString& macroName, const QStringList& files);
    // Empty when done, else why the file failed.
    QString runFile(const QString& macroName, const QString& path);

private:
    // What the file's run wrote, and whether a change was left unsaved.
    QString writtenReport() const;
    fmMain& m_window;
    BatchDialogs& m_dialogs;
    QTextStream& m_out;
    class ModalGuard;
    ModalGuard* m_guard;
};

// The whole program for "varnel --macro NAME FILE…" (the command line read
// already); returns the exit status.
int RunBatch(int argc, char** argv, const QString& macroName, const QStringList& files);

} // namespace varnel
