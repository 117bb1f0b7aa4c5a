// Run by the clipboard watcher once per copy with the picture on stdin:
// streams it into the local socket named by argv[1], then ends. One
// connection is one picture, followed by a trailer (8-byte mark, 8-byte
// little-endian length) that only a complete read writes: a picture cut
// short is recognised as such by the reader.
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
bool writeAll(int fd, const char* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::signal(SIGPIPE, SIG_IGN);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (std::strlen(argv[1]) >= sizeof addr.sun_path)
        return 2;
    std::strcpy(addr.sun_path, argv[1]);
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0 || connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return 1;
    static char buf[1 << 18];
    uint64_t total = 0;
    for (;;) {
        const ssize_t r = read(STDIN_FILENO, buf, sizeof buf);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return 1; // no trailer: the reader drops what came
        if (r == 0)
            break;
        if (!writeAll(s, buf, size_t(r)))
            return 1;
        total += uint64_t(r);
    }
    char trailer[16] = {'\0', 'V', 'R', 'N', 'L', 'E', 'N', 'D'};
    for (int i = 0; i < 8; ++i)
        trailer[8 + i] = char((total >> (8 * i)) & 0xff);
    if (!writeAll(s, trailer, sizeof trailer))
        return 1;
    return close(s) == 0 ? 0 : 1;
}
