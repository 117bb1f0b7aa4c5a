#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <sys/types.h>

namespace varnel::posix {

// Writes all of p to fd, going on after interruptions; false with errno
// set otherwise (a write that makes no progress counts as a full disk).
bool writeAll(int fd, const char* p, qint64 size);
// The process's umask, read without changing it (umask() would change it
// for a moment, for every thread).
mode_t processUmask();
// fsync of a file or, with folder, of a folder (so that a new name in it
// survives a power cut).
bool syncPath(const QByteArray& path, bool folder);
// fsync, false with errno set on failure. Every save's sync goes through
// here, so that tests can count them and plant a failure.
bool sync(int fd);

// Tests: how many syncs were asked for in all; the next one fails with
// errorNumber instead of syncing.
int syncCalls();
void failNextSync(int errorNumber);

} // namespace varnel::posix
