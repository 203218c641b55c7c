#include "protocol/ListenerOwners.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Whether a listener bound to `bound` takes connections to `target`. An IPv6-only socket never
// receives IPv4 traffic, whatever it is bound to: counting it would let any user lock the panel out
// of its own server by binding [::] on the admin port.
bool takes(const QHostAddress& bound, bool v6only, const QHostAddress& target) {
    if (v6only && target.protocol() == QHostAddress::IPv4Protocol)
        return false;
    if (bound == QHostAddress(QHostAddress::AnyIPv6))
        return true;
    if (bound == QHostAddress(QHostAddress::AnyIPv4))
        return target.protocol() == QHostAddress::IPv4Protocol;
    return bound.isEqual(target, QHostAddress::TolerantConversion);
}

// The kernel adds INET_DIAG_SKV6ONLY to every IPv6 socket it reports, unasked: its number is past
// the eight that the request's idiag_ext can ask for. A reply without it (a kernel too old to send
// it) counts as dual-stack, the reading that keeps the password back.
bool isV6Only(const nlmsghdr* header, const inet_diag_msg* diag) {
    int left = int(header->nlmsg_len) - int(NLMSG_LENGTH(sizeof *diag));
    for (auto* attribute = reinterpret_cast<const rtattr*>(diag + 1); RTA_OK(attribute, left);
         attribute = RTA_NEXT(attribute, left))
        if (attribute->rta_type == INET_DIAG_SKV6ONLY && RTA_PAYLOAD(attribute) >= 1)
            return *static_cast<const quint8*>(RTA_DATA(attribute)) != 0;
    return false;
}

struct Socket {
    int fd;
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
};

// One dump of the listening TCP sockets of `family` from sock_diag: only listeners are walked by
// the kernel, so the cost does not grow with the machine's open connections.
std::expected<void, QString> dumpListeners(int family, quint16 port, const QHostAddress& target, std::vector<uid_t>& owners) {
    Socket sock{::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG)};
    if (sock.fd < 0)
        return std::unexpected(errnoText());
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } message{};
    message.header.nlmsg_len = sizeof message;
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message.request.sdiag_family = quint8(family);
    message.request.sdiag_protocol = IPPROTO_TCP;
    message.request.idiag_states = 1u << TCP_LISTEN;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(sock.fd, &message, sizeof message, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
        return std::unexpected(errnoText());

    alignas(nlmsghdr) char buffer[32 * 1024];
    for (;;) {
        const ssize_t received = ::recv(sock.fd, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR)
            continue;
        if (received <= 0)
            return std::unexpected(
                received < 0 ? errnoText()
                             : QCoreApplication::translate("ListenerOwners", "the socket table ended early"));
        int left = int(received);
        for (auto* h = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(h, left); h = NLMSG_NEXT(h, left)) {
            if (h->nlmsg_type == NLMSG_DONE)
                return {};
            if (h->nlmsg_type == NLMSG_ERROR) {
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(h));
                return std::unexpected(QString::fromLocal8Bit(std::strerror(-error->error)));
            }
            const auto* diag = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
            if (qFromBigEndian(diag->id.idiag_sport) != port)
                continue;
            QHostAddress bound;
            bool v6only = false;
            if (family == AF_INET) {
                bound.setAddress(qFromBigEndian(diag->id.idiag_src[0]));
            } else {
                bound.setAddress(reinterpret_cast<const quint8*>(diag->id.idiag_src));
                v6only = isV6Only(h, diag);
            }
            if (takes(bound, v6only, target))
                owners.push_back(uid_t(diag->idiag_uid));
        }
    }
}

} // namespace

std::expected<std::vector<uid_t>, QString> listenerOwners(const QHostAddress& address, quint16 port) {
    std::vector<uid_t> owners;
    // An IPv4 target is also taken by IPv6 listeners (the wildcard, or its mapped form); an IPv6
    // target only by IPv6 ones.
    bool v4 = false;
    const QHostAddress target(address.toIPv4Address(&v4));
    if (v4) {
        if (auto dumped = dumpListeners(AF_INET, port, target, owners); !dumped)
            return std::unexpected(dumped.error());
    }
    if (auto dumped = dumpListeners(AF_INET6, port, v4 ? target : address, owners); !dumped)
        return std::unexpected(dumped.error());
    return owners;
}

std::expected<void, DaemonClientError> checkListenerIsOurs(const QHostAddress& address, quint16 port, uid_t self) {
    const QString where = QStringLiteral("%1:%2").arg(address.toString()).arg(port);
    const auto owners = listenerOwners(address, port);
    if (!owners)
        return std::unexpected(DaemonClientError::listenerNotOurs(
            QCoreApplication::translate(
                "ListenerOwners",
                "Cannot tell whose program is listening on %1 (%2). The admin password was not sent.")
                .arg(where, owners.error())));
    if (owners->empty())
        return std::unexpected(DaemonClientError::notReachable(
            QCoreApplication::translate("ListenerOwners", "Connection refused")));
    for (const uid_t owner : *owners)
        if (owner != self)
            return std::unexpected(DaemonClientError::listenerNotOurs(
                QCoreApplication::translate(
                    "ListenerOwners",
                    "Another user's program is listening on %1. The admin password was not sent.")
                    .arg(where)));
    return {};
}

} // namespace tavrin
