#include "server/AdminApi.h"

#include "server/AuditExport.h"
#include "server/HttpMessage.h"
#include "server/ServerLog.h"
#include "server/SupportBundle.h"

#include <QDateTime>

#include <algorithm>
#include <initializer_list>

namespace tavrin {

namespace {

// Answers 405 (and lists what is allowed) unless the request's method is one of `methods`.
bool methodAllowed(const HttpRequest& req, HttpResponse& res, std::initializer_list<const char*> methods) {
    std::string allow;
    for (const char* m : methods) {
        if (req.method == m)
            return true;
        allow += allow.empty() ? m : std::string(", ") + m;
    }
    res.setHeader("Allow", allow);
    replyText(res, 405,
              QStringLiteral("method %1 is not allowed on %2 (allowed: %3)")
                  .arg(QString::fromStdString(req.method), pathOf(req), QString::fromStdString(allow)));
    return false;
}

template <class T>
std::optional<T> decodeBody(const HttpRequest& req, HttpResponse& res) {
    auto decoded = decodeJson<T>(QByteArray::fromStdString(req.body));
    if (!decoded) {
        replyText(res, 400, QStringLiteral("invalid request body: %1").arg(decoded.error().message()));
        return std::nullopt;
    }
    return std::move(*decoded);
}

template <class T, class E>
void replyResult(HttpResponse& res, const std::expected<T, E>& result, int okStatus = 200) {
    if (result)
        replyJson(res, okStatus, *result);
    else
        replyText(res, result.error().status, result.error().message());
}

} // namespace

bool AdminApi::admitsPeer(const HttpRequest& req, HttpResponse& res) {
    if (NetworkPolicy::isLoopback(QString::fromStdString(req.remoteAddress)))
        return true;
    replyText(res, 403, QStringLiteral("the admin API answers only on this machine's loopback interface"));
    return false;
}

bool AdminApi::admitsHost(const HttpRequest& req, HttpResponse& res) {
    QString host = QString::fromStdString(req.header("Host")).toLower();
    // The port, if any, is whatever the request reached; only the name matters.
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon > host.lastIndexOf(u']')) {
        const QString port = host.mid(colon + 1);
        if (!port.isEmpty() && std::ranges::all_of(port, [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
            host.truncate(colon);
    }
    if (host == QLatin1StringView("127.0.0.1") || host == QLatin1StringView("localhost") || host == QLatin1StringView("[::1]"))
        return true;
    replyText(res, 421, QStringLiteral("the admin API answers only requests addressed to 127.0.0.1, localhost or [::1]"));
    return false;
}

bool AdminApi::admits(const HttpRequest& head, HttpResponse& res, std::chrono::milliseconds& refusalDelay) {
    refusalDelay = std::chrono::milliseconds(0);
    if (!admitsPeer(head, res) || !admitsHost(head, res))
        return false;
    if (m_context.adminSecret.accepts(head.header("Authorization")))
        return true;
    // A request without any password is a client that has none yet, and with no password set
    // there is nothing to guess. Every peer here is on loopback, where any program can pick any
    // 127.x source address: they are all one peer.
    if (head.hasHeader("Authorization") && m_context.adminSecret.isSet())
        refusalDelay = m_throttle.failed();
    replyText(res, 401, QStringLiteral("admin password missing or wrong"));
    return false;
}

void AdminApi::handle(const HttpRequest& req, HttpResponse& res) {
    if (std::chrono::milliseconds ignored; !admits(req, res, ignored))
        return;

    const QStringList parts = pathOf(req).mid(int(sizeof "/admin/" - 1)).split(QLatin1Char('/'));
    const QString head = parts.value(0);
    const auto only = [&](qsizetype n) { return parts.size() == n; };

    if (head == QLatin1StringView("status") && only(1)) {
        if (methodAllowed(req, res, {"GET"}))
            replyJson(res, 200, status());
    } else if (head == QLatin1StringView("keys")) {
        keys(req, res, parts.mid(1));
    } else if (head == QLatin1StringView("settings") && only(2) && parts[1] == QLatin1StringView("logging")) {
        logging(req, res);
    } else if (head == QLatin1StringView("settings") && only(2) && parts[1] == QLatin1StringView("preamble")) {
        preamble(req, res);
    } else if (head == QLatin1StringView("network") && only(1)) {
        network(req, res);
    } else if (head == QLatin1StringView("updates") && only(1)) {
        if (methodAllowed(req, res, {"GET"}))
            replyJson(res, 200, updaterStatus());
    } else if (head == QLatin1StringView("updates") && only(2)) {
        updates(req, res, parts[1]);
    } else if (head == QLatin1StringView("audit") && only(2) && parts[1] == QLatin1StringView("export")) {
        if (methodAllowed(req, res, {"GET"}))
            exportAudit(req, res);
    } else if (head == QLatin1StringView("model") && only(2)) {
        model(req, res, parts[1]);
    } else if (head == QLatin1StringView("diagnostics") && only(1)) {
        if (methodAllowed(req, res, {"POST"}))
            diagnostics(req, res);
    } else {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
    }
    answerConditionally(req, res);
}

void AdminApi::keys(const HttpRequest& req, HttpResponse& res, const QStringList& rest) {
    KeyStore& store = *m_context.keys;
    if (rest.isEmpty()) {
        if (!methodAllowed(req, res, {"GET", "POST"}))
            return;
        if (req.method == "GET") {
            replyJson(res, 200, store.list());
        } else if (auto body = decodeBody<CreateKeyBody>(req, res)) {
            replyResult(res, store.create(body->label, body->scopes), 201);
        }
        return;
    }
    const QString& id = rest[0];
    if (id.isEmpty() || rest.size() > 2) {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
    } else if (rest.size() == 1) {
        if (!methodAllowed(req, res, {"DELETE"}))
            return;
        if (auto removed = store.remove(id); removed)
            res.status = 204;
        else
            replyText(res, removed.error().status, removed.error().message());
    } else if (rest[1] == QLatin1StringView("revoke")) {
        if (methodAllowed(req, res, {"POST"}))
            replyResult(res, store.revoke(id));
    } else if (rest[1] == QLatin1StringView("rotate")) {
        if (methodAllowed(req, res, {"POST"}))
            replyResult(res, store.rotate(id));
    } else {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
    }
}

void AdminApi::logging(const HttpRequest& req, HttpResponse& res) {
    if (!methodAllowed(req, res, {"GET", "PUT"}))
        return;
    if (req.method == "GET") {
        replyJson(res, 200, m_context.settings->logging());
    } else if (auto body = decodeBody<ClientAuditLoggingSettings>(req, res)) {
        const auto saved = m_context.settings->setLogging(*body);
        // A shorter retention takes the records beyond it away now, not at the next hourly pass.
        if (saved)
            m_context.audit->prune(saved->retentionDays, QDateTime::currentDateTimeUtc());
        replyResult(res, saved);
    }
}

void AdminApi::network(const HttpRequest& req, HttpResponse& res) {
    if (!methodAllowed(req, res, {"GET", "PUT"}))
        return;
    if (req.method == "GET")
        replyJson(res, 200, m_context.settings->network());
    else if (auto body = decodeBody<ClientNetworkPreferences>(req, res))
        replyResult(res, m_context.settings->setNetwork(*body));
}

void AdminApi::preamble(const HttpRequest& req, HttpResponse& res) {
    if (!methodAllowed(req, res, {"GET", "PUT"}))
        return;
    if (req.method == "GET") {
        replyJson(res, 200, ClientOrgPreambleResponse{m_context.settings->preamble(), ServerSettings::preambleMaxLength});
    } else if (auto body = decodeBody<PreambleBody>(req, res)) {
        auto saved = m_context.settings->setPreamble(body->preamble);
        if (saved)
            replyJson(res, 200, ClientOrgPreambleResponse{*saved, ServerSettings::preambleMaxLength});
        else
            replyText(res, saved.error().status, saved.error().message());
    }
}

ClientUpdaterStatus AdminApi::updaterStatus() const { return m_context.updater->status(); }

void AdminApi::exportAudit(const HttpRequest& req, HttpResponse& res) {
    const std::string format = req.param("format");
    const std::string include = req.hasParam("includePromptContents") ? req.param("includePromptContents") : "false";
    if (format != "csv" && format != "jsonl") {
        replyText(res, 400, QStringLiteral("format must be csv or jsonl"));
        return;
    }
    if (include != "true" && include != "false") {
        replyText(res, 400, QStringLiteral("includePromptContents must be true or false"));
        return;
    }
    const ClientAuditLoggingSettings logging = m_context.settings->logging();
    const bool csv = format == "csv";
    const bool withText = !csv && include == "true" && logging.includePromptContentsInDiagnostics;
    auto source = std::make_shared<AuditExport>(m_context.audit->directory(),
                                                csv ? AuditExport::Format::csv : AuditExport::Format::jsonl, withText,
                                                AuditLog::cutoff(logging.retentionDays, QDateTime::currentDateTimeUtc()));
    res.setHeader("Content-Disposition", csv ? R"(attachment; filename="tavrin-server-usage.csv")"
                                              : R"(attachment; filename="tavrin-server-audit.jsonl")");
    res.setHeader("X-Tavrin-Prompt-Contents", withText ? "included-where-recorded" : "redacted");
    // Streamed from the files a chunk at a time: an export of any size holds one chunk in memory.
    res.setStream(csv ? "text/csv; charset=utf-8" : "application/x-ndjson",
                  [source](std::string& chunk) { return source->next(chunk); });
}

void AdminApi::updates(const HttpRequest& req, HttpResponse& res, const QString& action) {
    Updater& updater = *m_context.updater;
    if (action == QLatin1StringView("check")) {
        if (methodAllowed(req, res, {"POST"}))
            replyJson(res, 200, updater.check());
    } else if (action == QLatin1StringView("download")) {
        if (methodAllowed(req, res, {"POST"}))
            replyResult(res, updater.download());
    } else if (action == QLatin1StringView("clear")) {
        if (methodAllowed(req, res, {"POST"}))
            replyJson(res, 200, updater.clear());
    } else {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
    }
}

void AdminApi::model(const HttpRequest& req, HttpResponse& res, const QString& action) {
    if (action != QLatin1StringView("promote") && action != QLatin1StringView("rollback")) {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
        return;
    }
    if (!methodAllowed(req, res, {"POST"}))
        return;
    const bool promote = action == QLatin1StringView("promote");
    const auto changed = promote ? m_context.models->promote() : m_context.models->rollback();
    if (changed)
        logLine(QStringLiteral("model %1: production is now %2; it loads at the next start")
                    .arg(promote ? QStringLiteral("promoted") : QStringLiteral("rolled back"),
                         changed->pinState.production ? changed->pinState.production->alias : QStringLiteral("none")));
    replyResult(res, changed);
}

void AdminApi::diagnostics(const HttpRequest& req, HttpResponse& res) {
    auto body = decodeBody<DiagnosticsBody>(req, res);
    if (!body)
        return;
    auto written = writeSupportBundle(m_context, status(), body->includePromptContents);
    if (!written) {
        logLine(written.error());
        replyText(res, 500, written.error());
        return;
    }
    logLine(QStringLiteral("support bundle written to %1 (prompt contents %2)")
                .arg(written->bundlePath, written->promptContentsIncluded ? QStringLiteral("included") : QStringLiteral("redacted")));
    replyJson(res, 200, *written);
}

ClientServerStatus AdminApi::status() const {
    ClientServerStatus s;
    s.serverVersion = serverVersion();
    s.stateDirectory = m_context.store.directory();
    s.pid = m_context.pid;
    s.startedAt = m_context.startedAt;
    s.bind = m_context.network;
    s.uptimeSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_context.startedClock).count();
    s.logging = m_context.settings->logging();
    s.updater = updaterStatus();
    s.hardware = m_context.hardware;
    s.concurrency = m_context.admission->stats();
    s.orgPreamble = m_context.settings->preamble();
    if (const qint64 dropped = m_context.audit->dropped(); dropped > 0)
        s.auditRecordsDropped = dropped;

    ClientCompositionStages stages;
    stages.systemPromptApplied = s.orgPreamble.has_value();
    if (s.orgPreamble)
        stages.systemPromptChars = graphemeCount(*s.orgPreamble);
    s.stages = stages;
    s.model = m_context.models->status();
    return s;
}

} // namespace tavrin
