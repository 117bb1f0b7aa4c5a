#pragma once
#include <QString>
#include <QStringList>

#include "EditCommands.h"
#include "engine/Picture.h"

class QTextStream;

namespace varnel {

// A scrolled series joined from picture files: loading them, keeping their
// depth in the joined picture, and the command line's whole run.
class SeriesJoin {
public:
    struct Outcome {
        Picture picture;     // empty when refused
        QString error;       // for the window (Japanese); empty when joined
        QString englishError; // the same for the command line
    };
    // Joins the pictures of the files in order.
    static Outcome joinFiles(const QStringList& paths);

    // "varnel --join OUT FILE…": 0 when OUT was written, 1 when a picture
    // could not be read, two neighbours did not join or OUT could not be
    // written. What happened goes to out, failures to err.
    static int run(const QString& output, const QStringList& files, QTextStream& out, QTextStream& err);
};

// "画像をつなぐ": the joined picture takes the place of the one shown, as
// an edit (one undo step back). It is no file's picture, so saving asks
// for a name instead of writing over the file shown before.
class JoinCommand : public EditCommand {
public:
    explicit JoinCommand(Picture joined) : m_joined(std::move(joined)) {}
    void apply(PictureDocument& doc) override;

private:
    Picture m_joined;
};

} // namespace varnel
