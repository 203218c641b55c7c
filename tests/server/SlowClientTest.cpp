// Clients that open connections and then do little or nothing: the reference server keeps
// answering everyone else, and drops a client that does not finish its request's headers.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

class Connection {
public:
    explicit Connection(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Connection() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Connection(Connection&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

    bool send(std::string_view bytes) { return m_fd >= 0 && ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size()); }
    // Reads until `marker` has arrived; false when the connection ends or `patienceMs` pass first.
    bool receive(std::string_view marker, int patienceMs = 5000) {
        std::string seen;
        pollfd readable{m_fd, POLLIN, 0};
        while (seen.find(marker) == std::string::npos) {
            char chunk[4096];
            if (::poll(&readable, 1, patienceMs) != 1)
                return false;
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return false;
            seen.append(chunk, std::size_t(n));
        }
        return true;
    }
    // True once the server has closed its side, within `patienceMs`.
    bool closedByServer(int patienceMs) {
        pollfd readable{m_fd, POLLIN, 0};
        char c;
        return ::poll(&readable, 1, patienceMs) == 1 && ::recv(m_fd, &c, 1, MSG_PEEK) <= 0;
    }
    bool open() const {
        char c;
        return m_fd >= 0 && ::recv(m_fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && errno == EAGAIN;
    }

private:
    int m_fd;
};

constexpr std::string_view unfinishedHeaders = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow";
constexpr std::string_view healthCheck = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

} // namespace

class SlowClientTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Before, some thirty such connections took every worker until they timed out, and the
    // panel read the server as down.
    void healthAndAdminAnswerWhileHalfOpenAndIdleConnectionsStayOpen() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        std::vector<Connection> halfOpen;
        std::vector<Connection> idle;
        for (quint16 port : {server.port(), server.adminPort()})
            for (int i = 0; i < 100; ++i) {
                halfOpen.emplace_back(port);
                QVERIFY(halfOpen.back().send(unfinishedHeaders));
                idle.emplace_back(port);
                QVERIFY(idle.back().send(healthCheck));
                QVERIFY(idle.back().receive("\r\n\r\nok\n"));
            }

        for (quint16 port : {server.adminPort(), server.port()}) {
            HttpCall health{"GET", "/healthz"};
            health.patienceMs = 3000;
            const auto answer = exchange(port, health);
            TAVRIN_REQUIRE(answer);
            QCOMPARE(answer->status, 200);
            HttpCall status{"GET", "/admin/status"};
            status.patienceMs = 3000;
            const auto admin = exchange(port, status.bearer(server.adminSecret()));
            TAVRIN_REQUIRE(admin);
            QCOMPARE(admin->status, 200);
        }
        // They were served beside the slow clients, not after them.
        for (const auto* group : {&halfOpen, &idle})
            for (const Connection& c : *group)
                QVERIFY(c.open());
    }

    void aClientThatTricklesItsHeadersIsDisconnected() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        Connection slow(server.port());
        QVERIFY(slow.send("GET /healthz HTTP/1.1\r\n"));
        // A byte every quarter second would keep a per-read timeout from ever firing.
        bool closed = false;
        for (int i = 0; i < 60 && !closed; ++i)
            closed = !slow.send("X") || slow.closedByServer(250);
        QVERIFY2(closed, "a connection still without complete headers after 15 s was kept");
    }
};

QTEST_GUILESS_MAIN(SlowClientTest)
#include "SlowClientTest.moc"
