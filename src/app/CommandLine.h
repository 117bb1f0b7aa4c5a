#pragma once
#include <QString>
#include <QStringList>

namespace varnel {

// The program's arguments: none (an ordinary start) or one picture file to
// open. Anything else is a usage error.
struct CommandLine {
    enum class Action { Run, Help, Fail };
    Action action = Action::Run;
    QString file;  // absolute path, empty for an ordinary start
    QString error; // for the standard error, with the usage

    static constexpr int kUsageError = 2;

    // args: the arguments after the program name (the toolkit's own options
    // already taken out); relative paths are taken from workingFolder.
    static CommandLine parse(const QStringList& args, const QString& workingFolder);
    static QString usage();
};

} // namespace varnel
