#include "ToolRuns.h"

#include <QCoreApplication>
#include <QTextStream>

#include "CommandLine.h"
#include "editing/SeriesJoin.h"
#include "editing/TextReader.h"
#include "editing/engine/Picture.h"

namespace varnel {

int RunJoin(int argc, char** argv, const CommandLine& args)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    return SeriesJoin::run(args.output, args.files, out, err);
}

int RunOcr(int argc, char** argv, const CommandLine& args)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    TextReader reader;
    if (reader.executable().isEmpty()) {
        err << "varnel: reading text needs the tesseract command, which is not installed.\n"
               "  Install it with: sudo apt-get install tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng"
            << Qt::endl;
        return 1;
    }
    int failed = 0;
    for (const QString& file : args.files) {
        Picture p;
        if (!p.load(file)) {
            err << "varnel: cannot read " << file << " as a picture" << Qt::endl;
            ++failed;
            continue;
        }
        const TextReader::Result r = reader.readNow(p.image());
        if (!r.ok) {
            err << "varnel: " << file << ": " << r.error << Qt::endl;
            ++failed;
            continue;
        }
        // Each file's text under its name when there are several.
        if (args.files.size() > 1)
            out << "==> " << file << " <==\n";
        out << r.text << '\n';
        out.flush();
    }
    return failed ? 1 : 0;
}

} // namespace varnel
