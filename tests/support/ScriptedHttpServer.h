#pragma once

// A loopback HTTP server for tests that need answers a real server will not give on demand: any
// status and body (binary, empty), a delay, a stalled connection, a connection closed mid-body,
// bytes that are not HTTP at all, a body that never ends. It records every request exactly as it arrived.
//
// It runs on its own threads, so a client on the test's event loop talks to it over real sockets.
// Given a TLS identity, it speaks https only, with that certificate.

#include "support/TestCertificateAuthority.h"

#include <QByteArray>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

struct ssl_ctx_st;

namespace tavrin::test {

class ScriptedWire;

struct RecordedRequest {
    QByteArray method;
    QByteArray target; // path with query, exactly as sent
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::size_t connection = 0; // which connection it came on: the server's count of them, from 1

    // Case-insensitive lookup; nullopt when the header was not sent.
    std::optional<QByteArray> header(QByteArrayView name) const;
    QByteArray path() const; // target without the query
};

struct ScriptedResponse {
    enum class Kind {
        Respond,      // a complete HTTP answer
        Stall,        // read the request, then never answer (until the server goes away)
        CloseMidBody, // status line and headers promise more body than is sent, then close
        Raw,          // write `body` verbatim (not HTTP), then close
        Endless,      // status line and headers with no length, then `body` over and over until the peer goes
        Gated,        // chunked: `body`, then nothing until the gate opens (or the peer goes), then `rest`
    };

    Kind kind = Kind::Respond;
    int status = 200;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    std::chrono::milliseconds delay{0};
    QByteArray rest; // Gated: what follows the gate
    bool closeAfter = false;

    static ScriptedResponse json(int status, QByteArray body);
    static ScriptedResponse text(int status, QByteArray body);
    static ScriptedResponse bytes(int status, QByteArray body); // application/octet-stream
    static ScriptedResponse stall();
    static ScriptedResponse closeMidBody(int status, QByteArray partialBody);
    static ScriptedResponse raw(QByteArray bytes);
    static ScriptedResponse endless(int status, QByteArray piece);
    static ScriptedResponse gated(int status, QByteArray contentType, QByteArray first, QByteArray rest);
    ScriptedResponse after(std::chrono::milliseconds wait) const;
    ScriptedResponse withType(QByteArray contentType) const; // the same, with this Content-Type
    // The same, then the connection closed though its head did not say so, as a server that drops
    // idle connections at once does.
    ScriptedResponse thenClose() const;
    ScriptedResponse withHeader(QByteArray name, QByteArray value) const;
};

class ScriptedHttpServer {
public:
    ScriptedHttpServer();
    // Throws when the identity cannot be used: a test fixture, not a value to check.
    explicit ScriptedHttpServer(const TlsIdentity& tls);
    ~ScriptedHttpServer();

    quint16 port() const { return m_port; }
    QUrl baseUrl() const; // http://127.0.0.1:port, or https:// with a TLS identity

    // TLS handshakes that did not complete (the client did not trust the certificate, say).
    std::size_t refusedHandshakes() const;

    // Answer every request for `path` (query ignored) with `response` until changed.
    void route(const QByteArray& path, ScriptedResponse response);
    // The answer for paths without a route (404 by default).
    void setFallback(ScriptedResponse response);

    // Gated answers wait until the gate opens.
    void openGate();
    // Gated answers whose client closed the connection before the gate opened.
    std::size_t hangUps() const;
    bool waitForHangUps(std::size_t count, std::chrono::milliseconds patience);

    // Connections still open; waits for one (as RecordedRequest::connection numbers it) to close, by either side.
    std::size_t openConnections() const;
    bool waitForClosedConnection(std::size_t connection, std::chrono::milliseconds patience);

    std::vector<RecordedRequest> requests() const;
    std::size_t requestCount() const;
    std::size_t requestCount(const QByteArray& path) const; // those for `path`, query ignored
    void clearRequests();

private:
    explicit ScriptedHttpServer(std::shared_ptr<ssl_ctx_st> tls);
    void acceptLoop();
    void serve(int fd, std::size_t connection);
    void answer(int fd, std::size_t connection, ScriptedWire& wire);
    bool waitUnlessStopping(std::chrono::milliseconds wait);

    std::shared_ptr<ssl_ctx_st> m_tls;
    int m_listenFd = -1;
    quint16 m_port = 0;
    std::thread m_acceptThread;

    mutable std::mutex m_mutex;
    std::condition_variable m_stopping;
    bool m_stop = false;
    bool m_gateOpen = false;
    std::size_t m_hangUps = 0;
    std::size_t m_refusedHandshakes = 0;
    std::size_t m_accepted = 0;
    std::set<std::size_t> m_closed;
    std::map<QByteArray, ScriptedResponse> m_routes;
    ScriptedResponse m_fallback;
    std::vector<RecordedRequest> m_requests;
    std::vector<int> m_clientFds;
    std::vector<std::thread> m_clientThreads;
};

} // namespace tavrin::test
