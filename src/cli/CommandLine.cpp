#include "CommandLine.h"

#include <QDir>
#include <QFile>

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "unknown"
#endif

namespace varnel {

namespace {

// Options the toolkit takes out of the arguments itself, with and without
// a value; they are accepted here with one or two dashes, as it does.
bool isToolkitOption(const QString& a, bool* takesValue)
{
    static const QStringList withValue{"platform", "platformpluginpath", "platformtheme", "plugin",
                                       "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                       "style", "stylesheet", "display", "geometry", "name", "title",
                                       "qmljsdebugger"};
    static const QStringList plain{"reverse", "widgetcount", "nograb", "dograb", "sync"};
    if (!a.startsWith(QLatin1Char('-')) || a.size() < 2)
        return false;
    QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
    if (name.contains(QLatin1Char('=')))
        name = name.left(name.indexOf(QLatin1Char('=')));
    *takesValue = withValue.contains(name) && !a.contains(QLatin1Char('='));
    return withValue.contains(name) || plain.contains(name);
}

CommandLine failure(const QString& why)
{
    CommandLine c;
    c.action = CommandLine::Action::Fail;
    c.error = QStringLiteral("varnel: ") + why + QLatin1Char('\n') + CommandLine::usage();
    return c;
}

} // namespace

QString CommandLine::usage()
{
    return QStringLiteral(
        "usage: varnel [FILE]\n"
        "       varnel --macro NAME FILE...\n"
        "       varnel --join OUT FILE...\n"
        "       varnel --ocr FILE...\n"
        "       varnel --help | --version\n"
        "  Without FILE the program starts as usual; with FILE it opens that picture\n"
        "  (in the program already running on the same user data folder, if any).\n"
        "  --macro NAME FILE...  runs the stored macro NAME on each picture file, without\n"
        "                        a window; exit 0 when every file was done, 1 otherwise.\n"
        "  --join OUT FILE...    joins pictures of a scrolled page, in the order given,\n"
        "                        into OUT (format by its extension); exit 0 when joined,\n"
        "                        1 when a picture could not be read or two neighbours\n"
        "                        do not overlap.\n"
        "  --ocr FILE...         prints the text read in each picture (Japanese and\n"
        "                        English, with tesseract); exit 0 when every file was read.\n"
        "  --help, -h            shows this text;  --version  shows the version.\n"
        "  Usage errors end with exit status 2. No option needs a display.\n");
}

QString CommandLine::version()
{
    return QStringLiteral("varnel " VARNEL_VERSION "\n");
}

QStringList CommandLine::arguments(int argc, char** argv)
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out << QFile::decodeName(argv[i]);
    return out;
}

CommandLine CommandLine::parse(const QStringList& all, const QString& workingFolder)
{
    CommandLine c;
    QStringList args;
    for (qsizetype i = 0; i < all.size(); ++i) {
        bool takesValue = false;
        if (all[i] == QLatin1String("--")) {
            args << all.mid(i);
            break;
        }
        if (isToolkitOption(all[i], &takesValue)) {
            i += takesValue ? 1 : 0;
            continue;
        }
        args << all[i];
    }
    if (!args.isEmpty()) {
        const QString& first = args[0];
        const QStringList rest = args.mid(1);
        if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
            c.action = Action::Help;
            return c;
        }
        if (first == QLatin1String("--version")) {
            c.action = Action::Version;
            return c;
        }
        if (first == QLatin1String("--macro")) {
            if (rest.size() < 2)
                return failure(QStringLiteral("--macro needs a macro name and at least one file"));
            c.action = Action::Macro;
            c.macroName = rest[0];
            c.files = rest.mid(1);
            return c;
        }
        if (first == QLatin1String("--join")) {
            if (rest.size() < 3)
                return failure(QStringLiteral("--join needs the file to write and at least two pictures"));
            c.action = Action::Join;
            c.output = rest[0];
            c.files = rest.mid(1);
            return c;
        }
        if (first == QLatin1String("--ocr")) {
            if (rest.isEmpty())
                return failure(QStringLiteral("--ocr needs at least one picture"));
            c.action = Action::Ocr;
            c.files = rest;
            return c;
        }
    }
    QStringList files;
    bool optionsEnded = false;
    for (const QString& a : args) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            c.action = Action::Help;
            return c;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return failure(QStringLiteral("unknown option '%1'").arg(a));
        } else {
            files << a;
        }
    }
    if (files.size() > 1)
        return failure(QStringLiteral("only one file can be opened, %1 were given").arg(files.size()));
    if (files.size() == 1) {
        if (files[0].isEmpty() || files[0] == QLatin1String("-"))
            return failure(QStringLiteral("'%1' is not a file name").arg(files[0]));
        // Absolute, since a running program may be the one that opens it.
        c.file = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(files[0]));
    }
    return c;
}

} // namespace varnel
