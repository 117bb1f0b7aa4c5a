#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

namespace varnel {

// Writes whole files so that the target name never holds a half-written
// file: the bytes go to a hidden temporary file in the same folder, which
// then takes the target name in one step. Every write error is checked
// before the name is taken.
class AtomicFile {
public:
    // Receives the file's bytes piece by piece; false stops the write.
    using Sink = std::function<bool(const char* data, qint64 size)>;
    // Produces the whole file into a sink; false means the file is not wanted.
    using Producer = std::function<bool(const Sink& sink)>;

    // When the bytes are forced to the disk (against a power cut).
    enum class Sync {
        // Before the name is taken: the name only ever shows a complete file,
        // also after a power cut. Costs the disk's write time up front.
        BeforePublish,
        // Right after the name is taken, on a background thread: the file is
        // usable at once; a power cut in the moment after (until
        // waitForBackgroundSync would return) can leave it short or empty.
        AfterPublish,
    };

    // Replaces (or creates) path; *error (when given) gets the errno of a failure.
    static bool write(const QString& path, const Producer& produce, int* error = nullptr);
    // Creates path only when the name is free, never overwriting. On failure
    // *nameTaken (when given) tells whether the name was already in use and
    // *error the errno (0 for a producer that gave up).
    static bool writeNew(const QString& path, const Producer& produce, bool* nameTaken = nullptr,
                         int* error = nullptr, Sync sync = Sync::BeforePublish);

    static bool write(const QString& path, const QByteArray& bytes);
    static bool writeNew(const QString& path, const QByteArray& bytes, bool* nameTaken = nullptr);

    // Told on the syncing thread of a published file whose bytes did not
    // reach the disk (an error only the sync reports: EIO, network and FUSE
    // file systems). Null: nobody is told.
    using SyncFailed = std::function<void(const QString& path, int errorNumber)>;
    static void onBackgroundSyncFailure(SyncFailed failed);

    // Blocks until every file handed to the background sync is on the disk
    // (at exit, and for tests); returns how many it synced in all.
    static int waitForBackgroundSync();
};

} // namespace varnel
