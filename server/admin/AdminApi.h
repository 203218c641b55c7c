#pragma once

#include "server/runtime/ServerContext.h"

#include "protocol/AdminRoute.h"
#include "server/admin/AuditExport.h"
#include "server/admin/PasswordThrottle.h"
#include "server/support/HttpMessage.h"

#include <chrono>
#include <mutex>

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
    // A web page can make the user's browser call 127.0.0.1 under a name of its own (DNS
    // rebinding); the browser then sends that name as Host. Only this machine's own loopback
    // names are answered.
    static bool admitsHost(const HttpRequest& req, HttpResponse& res);
    // Everything that decides whether a request is answered at all, judged on its head alone so
    // that nobody unknown can make the server take in a body: the peer, the Host and the
    // password. A wrong password's refusal is to wait `refusalDelay` (see PasswordThrottle).
    bool admits(const HttpRequest& head, HttpResponse& res, std::chrono::milliseconds& refusalDelay);
    // Whether admits() would judge a password on this head: one is presented, by a client that
    // passes every check before it. Such a head waits for the throttle's gate to open.
    static bool presentsGuess(const HttpRequest& head);
    PasswordThrottle& throttle() { return m_throttle; }

    ClientServerStatus status() const;
    ClientUpdaterStatus updaterStatus() const;

private:
    // `argument`: the key a key route names, or the choice the query of an export makes.
    void answer(AdminOperation operation, const QString& argument, const HttpRequest& req, HttpResponse& res);
    void saveLogging(const HttpRequest& req, HttpResponse& res);
    void savePreamble(const HttpRequest& req, HttpResponse& res);
    // `textAsked`: the prompt contents go out only if the master switch also allows them.
    void exportAudit(AuditExport::Format format, bool textAsked, HttpResponse& res);
    void changeProduction(bool promote, HttpResponse& res);
    void diagnostics(const HttpRequest& req, HttpResponse& res);
    void saveEngine(const HttpRequest& req, HttpResponse& res);
    void testEngine(HttpResponse& res);

    ServerContext& m_context;
    PasswordThrottle m_throttle;
    // One engine change at a time, so that the engine in use is always the one saved last.
    std::mutex m_engineChange;
};

} // namespace tavrin
