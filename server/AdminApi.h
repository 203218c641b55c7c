#pragma once

#include "server/ServerContext.h"

#include "server/HttpMessage.h"

namespace tavrin {

// Every path under /admin/: loopback clients only, the admin password as bearer token, the
// records of the panel's admin client in both directions, and one line of text on failure.
class AdminApi {
public:
    explicit AdminApi(ServerContext& context) : m_context(context) {}

    void handle(const HttpRequest& req, HttpResponse& res);
    // Whatever the bind address, administration stays on this machine: false, with the
    // refusal in `res`, for a client from elsewhere.
    static bool admitsPeer(const HttpRequest& req, HttpResponse& res);

    ClientServerStatus status() const;
    ClientUpdaterStatus updaterStatus() const;

private:
    void keys(const HttpRequest& req, HttpResponse& res, const QStringList& rest);
    void logging(const HttpRequest& req, HttpResponse& res);
    void network(const HttpRequest& req, HttpResponse& res);
    void preamble(const HttpRequest& req, HttpResponse& res);
    void exportAudit(const HttpRequest& req, HttpResponse& res);
    void updates(const HttpRequest& req, HttpResponse& res, const QString& action);
    void model(const HttpRequest& req, HttpResponse& res, const QString& action);
    void diagnostics(const HttpRequest& req, HttpResponse& res);

    ServerContext& m_context;
};

} // namespace tavrin
