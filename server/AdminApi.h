#pragma once

#include "server/ServerContext.h"

#include <httplib.h>

namespace tavrin {

// Every path under /admin/: loopback clients only, the admin password as bearer token, the
// records of the panel's admin client in both directions, and one line of text on failure.
class AdminApi {
public:
    explicit AdminApi(ServerContext& context) : m_context(context) {}

    void handle(const httplib::Request& req, httplib::Response& res);

    ClientServerStatus status() const;
    ClientUpdaterStatus updaterStatus() const;

private:
    void keys(const httplib::Request& req, httplib::Response& res, const QStringList& rest);
    void logging(const httplib::Request& req, httplib::Response& res);
    void network(const httplib::Request& req, httplib::Response& res);
    void preamble(const httplib::Request& req, httplib::Response& res);
    void exportAudit(const httplib::Request& req, httplib::Response& res);
    void updates(const httplib::Request& req, httplib::Response& res, const QString& action);
    void model(const httplib::Request& req, httplib::Response& res, const QString& action);
    void diagnostics(const httplib::Request& req, httplib::Response& res);

    ServerContext& m_context;
};

} // namespace tavrin
