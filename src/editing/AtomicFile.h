#pragma once
#include <QByteArray>
#include <QString>

namespace varnel {

// Writes whole files so that the target name never holds a half-written
// file: the bytes go to a hidden temporary file in the same folder, which
// then takes the target name in one step.
class AtomicFile {
public:
    // Replaces (or creates) path.
    static bool write(const QString& path, const QByteArray& bytes);
    // Creates path only when the name is free, never overwriting. On failure
    // *nameTaken (when given) tells whether the name was already in use.
    static bool writeNew(const QString& path, const QByteArray& bytes, bool* nameTaken = nullptr);
};

} // namespace varnel
