#pragma once
#include <QString>
#include <QStringList>

namespace varnel {

// The program's arguments, read before any window system is started, so
// that help, the version, usage errors and the batch runs need no display.
// An ordinary start takes no argument or one picture file to open; the
// batch runs take an option and their files. Anything else is a usage error.
struct CommandLine {
    enum class Action { Run, Help, Version, Fail, Macro, Join, Ocr };
    Action action = Action::Run;
    QString file;       // Run: absolute path, empty for an ordinary start
    QString error;      // Fail: for the standard error, with the usage
    QString macroName;  // Macro
    QString output;     // Join: the file to write
    QStringList files;  // Macro, Join, Ocr: as given

    static constexpr int kUsageError = 2;

    // args: the arguments after the program name. The toolkit's own options
    // (-platform NAME, -display NAME, ...) are passed over, as the toolkit
    // takes them itself; relative paths are taken from workingFolder.
    static CommandLine parse(const QStringList& args, const QString& workingFolder);
    // argv after the program name, decoded as the system names files.
    static QStringList arguments(int argc, char** argv);
    static QString usage();
    static QString version();
};

} // namespace varnel
