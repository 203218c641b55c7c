#pragma once

#include "server/admin/AdminApi.h"
#include "server/http/BodyAllowance.h"
#include "server/inference/InferenceApi.h"
#include "server/runtime/ServerContext.h"

#include <QString>

#include <chrono>
#include <expected>
#include <memory>

namespace boost::asio {
class io_context;
}

namespace tavrin {

// The HTTP side. One thread waits on every socket at once, so an open connection costs a few
// kilobytes and no thread: clients that are slow to send their request, or that keep an idle
// connection open, cannot use up anything the others need. Only a complete request reaches a
// worker, from one of two pools: one for the admin API and one for the client surface, so that
// administration never queues behind generations. /healthz is answered on the spot. A generation's
// answer comes through a feed (AnswerFeed) on the I/O thread the engines share: no worker waits
// for an engine or for a generation slot, and a client that hangs up cancels its generation, or
// gives up its place in line.
//
// The panel always calls 127.0.0.1 on the admin port, so the admin API (and /healthz) are
// answered there whatever the saved bind host and port, and the client surface on those.
// When the saved bind already covers the admin address, one socket serves both: on Linux a
// wildcard listener on a port keeps a loopback one off it.
class HttpServer {
public:
    struct Limits {
        std::size_t adminWorkers = 4;
        // Workers only judge a request and build its answer: a generation runs on the I/O loop
        // through its feed, and one waiting for a slot waits in AdmissionControl's line, so no
        // request holds a worker while it waits and a few cover any number of generations.
        std::size_t clientWorkers = 4;
        // Open connections from loopback peers, and from all others, each counted apart so
        // that no amount of traffic from the network can crowd out this machine's own clients.
        std::size_t connectionsPerPeerClass = 4096;
        // A new connection must deliver its first request's headers within this time.
        std::chrono::milliseconds headerDeadline{5000};
        // A kept-alive connection may idle this long before its next request begins; the
        // request's headers are then due within headerDeadline.
        std::chrono::milliseconds keepAliveIdle{15000};
        std::chrono::milliseconds bodyDeadline{30000};
        std::chrono::milliseconds writeDeadline{30000};
        // Bytes of a generation's answer that its client has not taken yet; past them the answer
        // ends with an error and the generation is cancelled.
        std::size_t unreadAnswerBytes = 1024 * 1024;
        // Request bodies being received or handled at once (a chunked body counts as the largest
        // allowed); a request beyond them is answered 503 before its body is read.
        BodyAllowance::Limits bodies;
    };

    // `io` is the loop the engines run on too; serve() runs it on the calling thread.
    HttpServer(ServerContext& context, Limits limits, boost::asio::io_context& io);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    static constexpr std::size_t maxBodyBytes = 1024 * 1024;

    // Binds without serving yet: the client surface on host:port and the admin API on
    // 127.0.0.1:adminPort (port 0: any free port). The bound ports are then port() and adminPort().
    std::expected<void, QString> bind(const QString& host, int port, int adminPort);
    int port() const;
    int adminPort() const;

    // Serves until stop(); returns once every request in flight has been answered, whatever else
    // (an engine's health check) still runs on the loop.
    bool serve();
    // Safe from any thread, before or during serve(): stops listening, drops every connection
    // that is not in the middle of a request at once, and closes the others once answered.
    void stop();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Whether a listener on host:port also takes connections to 127.0.0.1:adminPort.
bool listenerCoversAdmin(const QString& host, int port, int adminPort);

} // namespace tavrin
