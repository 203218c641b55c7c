#pragma once

#include "server/AdminApi.h"
#include "server/InferenceApi.h"
#include "server/ServerContext.h"

#include <httplib.h>

#include <QString>

#include <atomic>
#include <expected>

namespace tavrin {

// The HTTP side: one cpp-httplib server on a fixed pool of worker threads, routing /healthz,
// /admin/ and the inference surface. A slow generation occupies one worker, never the others,
// so health checks and administration stay responsive while the engine is busy.
class HttpServer {
public:
    // `workers` must exceed the generations that may run or wait at once, or a full queue
    // would leave no worker to answer health checks, the admin API and 503s.
    HttpServer(ServerContext& context, std::size_t workers);

    static constexpr std::size_t maxBodyBytes = 1024 * 1024;

    // Binds without serving yet; port 0 asks for a free port. Answers the bound port.
    std::expected<int, QString> bind(const QString& host, int port);
    // Serves until stop(); returns once every worker has finished its request.
    bool serve();
    void stop();

private:
    void dispatch(const httplib::Request& req, httplib::Response& res);

    ServerContext& m_context;
    AdminApi m_admin;
    InferenceApi m_inference;
    httplib::Server m_server;
    std::atomic<bool> m_served = false;
};

} // namespace tavrin
