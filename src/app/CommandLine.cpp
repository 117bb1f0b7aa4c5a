#include "CommandLine.h"

#include <QDir>

namespace varnel {

QString CommandLine::usage()
{
    return QStringLiteral("usage: varnel [FILE]\n"
                          "  Without FILE the program starts as usual; with FILE it opens that picture\n"
                          "  (in the program already running on the same user data folder, if any).\n");
}

CommandLine CommandLine::parse(const QStringList& args, const QString& workingFolder)
{
    CommandLine c;
    QStringList files;
    bool optionsEnded = false;
    for (const QString& a : args) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            c.action = Action::Help;
            return c;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            c.action = Action::Fail;
            c.error = QStringLiteral("varnel: unknown option '%1'\n").arg(a) + usage();
            return c;
        } else {
            files << a;
        }
    }
    if (files.size() > 1) {
        c.action = Action::Fail;
        c.error = QStringLiteral("varnel: only one file can be opened, %1 were given\n").arg(files.size()) + usage();
        return c;
    }
    if (files.size() == 1) {
        if (files[0].isEmpty() || files[0] == QLatin1String("-")) {
            c.action = Action::Fail;
            c.error = QStringLiteral("varnel: '%1' is not a file name\n").arg(files[0]) + usage();
            return c;
        }
        // Absolute, since a running program may be the one that opens it.
        c.file = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(files[0]));
    }
    return c;
}

} // namespace varnel
