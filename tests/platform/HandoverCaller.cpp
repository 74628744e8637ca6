// A caller of the hand-over socket written against the wire format alone, with
// none of the channel's own checks, for a test to run as another user:
//
//   zeko_handover_caller <socket> <path>
//
// Prints the answer's first byte, or "closed" when the connection ended without one.

#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, argv[1], sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        std::perror("connect");
        return 1;
    }
    const auto size = static_cast<unsigned>(std::strlen(argv[2]));
    const unsigned char length[4] = {static_cast<unsigned char>(size >> 24),
                                     static_cast<unsigned char>(size >> 16),
                                     static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)};
    // A connection already dropped must not end this program with SIGPIPE.
    if (::send(fd, length, 4, MSG_NOSIGNAL) != 4 ||
        ::send(fd, argv[2], size, MSG_NOSIGNAL) != static_cast<ssize_t>(size))
        std::puts("closed");
    else {
        char answer = 0;
        if (::read(fd, &answer, 1) == 1)
            std::printf("%c\n", answer);
        else
            std::puts("closed");
    }
    ::close(fd);
    return 0;
}
