// A listener that belongs to another user, for tests of what the panel trusts. Run as root, it
// drops to the uid it is given before it opens its socket, so the kernel records that user as the
// socket's owner, as it would for another person's program on the same machine.
//   foreign-listener tcp UID          127.0.0.1 on a free port; prints "port N", then answers every
//                                     request "200 ok" and prints each request's head
//   foreign-listener tcp6 UID PORT v6only|dual
//                                    [::] on PORT, IPv6-only or taking IPv4 too; then as "tcp"
//   foreign-listener unix UID PATH    a local socket at PATH; prints "ready", then prints whatever
//                                     each connection sends
// Everything printed is flushed at once, so the test reads what reached the listener as it happens.

#include <arpa/inet.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int die(const char* what) {
    std::fprintf(stderr, "foreign-listener: %s: %s\n", what, std::strerror(errno));
    return 1;
}

std::string readSome(int fd, bool untilHeadEnds) {
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        got.append(buffer, std::size_t(n));
        if (untilHeadEnds && got.find("\r\n\r\n") != std::string::npos)
            break;
    }
    return got;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const uid_t uid = uid_t(std::atoi(argv[2]));
    if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)
        return die("cannot become that user");

    const bool tcp6 = mode == "tcp6";
    const bool tcp = mode == "tcp" || tcp6;
    const int listener = ::socket(tcp6 ? AF_INET6 : tcp ? AF_INET : AF_UNIX, SOCK_STREAM, 0);
    if (listener < 0)
        return die("socket");
    if (tcp6) {
        if (argc < 5)
            return 2;
        const int v6only = std::strcmp(argv[4], "v6only") == 0 ? 1 : 0;
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = in6addr_any;
        address.sin6_port = htons(std::uint16_t(std::atoi(argv[3])));
        socklen_t size = sizeof address;
        if (::setsockopt(listener, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only) != 0 ||
            ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 16) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return die("listen");
        std::printf("port %d\n", ntohs(address.sin6_port));
    } else if (tcp) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 16) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return die("listen");
        std::printf("port %d\n", ntohs(address.sin_port));
    } else {
        if (argc < 4)
            return 2;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, argv[3], sizeof address.sun_path - 1);
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 16) != 0)
            return die("listen");
        std::printf("ready\n");
    }
    std::fflush(stdout);
    for (;;) {
        const int peer = ::accept(listener, nullptr, nullptr);
        if (peer < 0)
            continue;
        std::fputs(readSome(peer, tcp).c_str(), stdout);
        std::fputs("\n--\n", stdout);
        std::fflush(stdout);
        if (tcp) {
            static const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
            [[maybe_unused]] const ssize_t sent = ::write(peer, answer, sizeof answer - 1);
        }
        ::close(peer);
    }
}
