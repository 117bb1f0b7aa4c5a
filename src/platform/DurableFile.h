#pragma once
#include <QByteArray>
#include <QString>

namespace varnel {

// Whole-file writes for files the user cannot afford to lose (settings,
// choice and link files). The bytes go to a hidden temporary beside the
// target; every write is checked, the temporary is synced and renamed over
// the target, and the folder is synced so that the new name survives a
// power cut. On any failure the old file stays as it was and the
// temporary is removed.
class DurableFile {
public:
    struct Result {
        bool ok = false;
        int errorNumber = 0; // errno of the failed step; 0 on success
        QString error;       // for the user: a short Japanese reason
        explicit operator bool() const { return ok; }
    };

    // Replaces (or creates) path with bytes. A symbolic link is followed,
    // so the file it points at is replaced. An existing file's permissions
    // are kept; a new file gets those of an ordinary new file.
    static Result write(const QString& path, const QByteArray& bytes);

    // Whether fileName (no folder) is a temporary that this program's saves
    // create for the target name target (no folder): "." + target +
    // ".varnel-" + six letters or digits + ".tmp", a name no file of the
    // user's has by chance. Left behind only when the program was killed
    // mid-write.
    static bool isTemporaryFor(const QString& fileName, const QString& target);
    // The target a temporary's name was made for; empty for any other name.
    static QString temporaryTarget(const QString& fileName);
    // The pattern for mkostemps() of a temporary for path beside it; its
    // last kTemporarySuffix characters follow the random part.
    static QByteArray temporaryPattern(const QString& path);
    static constexpr int kTemporarySuffix = 4;

    // The user's text for an errno value, in Japanese with the system's own
    // words appended.
    static QString reasonText(int errorNumber);

    // Tests: the next write() fails at the given step with errorNumber.
    enum class Step { None, Write, Sync, Rename };
    static void failNextWrite(Step step, int errorNumber);
};

} // namespace varnel
