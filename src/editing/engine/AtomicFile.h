#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

namespace varnel {

// Writes whole files so that the target name never holds a half-written
// file: the bytes go to a hidden temporary file in the same folder, which
// then takes the target name in one step.
class AtomicFile {
public:
    // Receives the file's bytes piece by piece; false stops the write.
    using Sink = std::function<bool(const char* data, qint64 size)>;
    // Produces the whole file into a sink; false means the file is not wanted.
    using Producer = std::function<bool(const Sink& sink)>;

    static bool write(const QString& path, const Producer& produce);
    static bool writeNew(const QString& path, const Producer& produce, bool* nameTaken = nullptr);

    // Replaces (or creates) path.
    static bool write(const QString& path, const QByteArray& bytes);
    // Creates path only when the name is free, never overwriting. On failure
    // *nameTaken (when given) tells whether the name was already in use.
    static bool writeNew(const QString& path, const QByteArray& bytes, bool* nameTaken = nullptr);
};

} // namespace varnel
