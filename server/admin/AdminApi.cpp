#include "server/admin/AdminApi.h"

#include "server/admin/SupportBundle.h"
#include "server/support/HttpMessage.h"
#include "server/support/ServerLog.h"

#include <QDateTime>

#include <algorithm>
#include <condition_variable>
#include <expected>
#include <mutex>
#include <optional>

namespace tavrin {

namespace {

template <class T>
std::optional<T> decodeBody(const HttpRequest& req, HttpResponse& res) {
    auto decoded = decodeJson<T>(QByteArray::fromStdString(req.body));
    if (!decoded) {
        replyText(res, 400, QStringLiteral("invalid request body: %1").arg(decoded.error().message()));
        return std::nullopt;
    }
    return std::move(*decoded);
}

void replyRefusal(HttpResponse& res, const Refusal& refusal) {
    replyText(res, refusal.status, refusal.message());
}

// For the log: which engine, where, never its key.
QString engineDescription(const ClientEngineSettings& settings) {
    if (!settings.url)
        return QStringLiteral("the built-in echo engine");
    return QStringLiteral("%1 at %2").arg(settings.model.value_or(QString()), *settings.url);
}

template <class T>
void replyResult(HttpResponse& res, const std::expected<T, Refusal>& result, int okStatus = 200) {
    if (result)
        replyJson(res, okStatus, *result);
    else
        replyRefusal(res, result.error());
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
    if (head.hasHeader("Authorization") && m_context.adminSecret.isSet()) {
        refusalDelay = m_throttle.failed();
        const QString count = QStringLiteral("wrong admin password (%1 since the start)").arg(m_throttle.failures());
        logLine(refusalDelay.count() > 0
                    ? count + QStringLiteral("; the next password is judged in %1 ms").arg(refusalDelay.count())
                    : count);
    }
    replyText(res, 401, QStringLiteral("admin password missing or wrong"));
    return false;
}

bool AdminApi::presentsGuess(const HttpRequest& head) {
    HttpResponse unused;
    return head.hasHeader("Authorization") && admitsPeer(head, unused) && admitsHost(head, unused);
}

void AdminApi::handle(const HttpRequest& req, HttpResponse& res) {
    if (std::chrono::milliseconds ignored; !admits(req, res, ignored))
        return;
    const AdminRouteMatch match = matchAdminRoute(req.method, pathOf(req));
    if (match.operation) {
        const auto query = matchAdminQuery(*match.operation, req.params);
        if (!query)
            return replyText(res, 400, query.error());
        // A row has its argument in its path or in its query, never in both.
        answer(query->operation, match.argument.isEmpty() ? query->argument : match.argument, req, res);
        answerConditionally(req, res);
    } else if (match.allowed.isEmpty()) {
        replyText(res, 404, QStringLiteral("no admin endpoint at %1").arg(pathOf(req)));
    } else {
        res.setHeader("Allow", match.allowed.toStdString());
        replyText(res, 405,
                  QStringLiteral("method %1 is not allowed on %2 (allowed: %3)")
                      .arg(QString::fromStdString(req.method), pathOf(req), match.allowed));
    }
}

// One case per row of the route table: a route without its answer here does not build.
void AdminApi::answer(AdminOperation operation, const QString& argument, const HttpRequest& req,
                      HttpResponse& res) {
    KeyStore& keys = *m_context.keys;
    ServerSettings& settings = *m_context.settings;
    Updater& updater = *m_context.updater;
    switch (operation) {
    case AdminOperation::status:
        return replyJson(res, 200, status());
    case AdminOperation::listKeys:
        return replyJson(res, 200, keys.list());
    case AdminOperation::createKey:
        if (auto body = decodeBody<CreateKeyBody>(req, res))
            replyResult(res, keys.create(body->label, body->scopes), 201);
        return;
    case AdminOperation::revokeKey:
        return replyResult(res, keys.revoke(argument));
    case AdminOperation::rotateKey:
        return replyResult(res, keys.rotate(argument));
    case AdminOperation::deleteKey:
        if (auto removed = keys.remove(argument); removed)
            res.status = 204;
        else
            replyRefusal(res, removed.error());
        return;
    case AdminOperation::loggingSettings:
        return replyJson(res, 200, settings.logging());
    case AdminOperation::updateLoggingSettings:
        return saveLogging(req, res);
    case AdminOperation::exportAuditCSV:
        return exportAudit(AuditExport::Format::csv, false, res);
    case AdminOperation::exportAuditJSONL:
        return exportAudit(AuditExport::Format::jsonl, argument == QLatin1StringView("true"), res);
    case AdminOperation::networkPreferences:
        return replyJson(res, 200, settings.network());
    case AdminOperation::updateNetworkPreferences:
        if (auto body = decodeBody<ClientNetworkPreferences>(req, res))
            replyResult(res, settings.setNetwork(*body));
        return;
    case AdminOperation::orgPreamble:
        return replyJson(res, 200,
                         ClientOrgPreambleResponse{settings.preamble(), ServerSettings::preambleMaxLength});
    case AdminOperation::setOrgPreamble:
        return savePreamble(req, res);
    case AdminOperation::updaterStatus:
        return replyJson(res, 200, updaterStatus());
    case AdminOperation::checkForUpdates:
        return replyJson(res, 200, updater.check());
    case AdminOperation::downloadUpdate:
        return replyResult(res, updater.download());
    case AdminOperation::clearStagedUpdate:
        return replyJson(res, 200, updater.clear());
    case AdminOperation::promoteModel:
    case AdminOperation::rollbackModel:
        return changeProduction(operation == AdminOperation::promoteModel, res);
    case AdminOperation::createDiagnostics:
        return diagnostics(req, res);
    case AdminOperation::engineSettings:
        return replyJson(res, 200, settings.engine());
    case AdminOperation::updateEngineSettings:
        return saveEngine(req, res);
    case AdminOperation::testEngine:
        return testEngine(res);
    }
}

void AdminApi::saveLogging(const HttpRequest& req, HttpResponse& res) {
    if (auto body = decodeBody<ClientAuditLoggingSettings>(req, res)) {
        const auto saved = m_context.settings->setLogging(*body);
        // A shorter retention takes the records beyond it away now, not at the next hourly pass.
        if (saved)
            m_context.audit->prune(saved->retentionDays, QDateTime::currentDateTimeUtc());
        replyResult(res, saved);
    }
}

void AdminApi::savePreamble(const HttpRequest& req, HttpResponse& res) {
    if (auto body = decodeBody<PreambleBody>(req, res)) {
        auto saved = m_context.settings->setPreamble(body->preamble);
        if (saved)
            replyJson(res, 200, ClientOrgPreambleResponse{*saved, ServerSettings::preambleMaxLength});
        else
            replyRefusal(res, saved.error());
    }
}

ClientUpdaterStatus AdminApi::updaterStatus() const { return m_context.updater->status(); }

void AdminApi::exportAudit(AuditExport::Format format, bool textAsked, HttpResponse& res) {
    const ClientAuditLoggingSettings logging = m_context.settings->logging();
    const bool csv = format == AuditExport::Format::csv;
    const bool withText = textAsked && logging.includePromptContentsInDiagnostics;
    auto source = std::make_shared<AuditExport>(m_context.audit->directory(), format, withText,
                                                AuditLog::cutoff(logging.retentionDays, QDateTime::currentDateTimeUtc()));
    res.setHeader("Content-Disposition", csv ? R"(attachment; filename="tavrin-server-usage.csv")"
                                              : R"(attachment; filename="tavrin-server-audit.jsonl")");
    res.setHeader("X-Tavrin-Prompt-Contents", withText ? "included-where-recorded" : "redacted");
    // Streamed from the files a chunk at a time: an export of any size holds one chunk in memory.
    res.setStream(csv ? "text/csv; charset=utf-8" : "application/x-ndjson",
                  [source](std::string& chunk) { return source->next(chunk); });
}

void AdminApi::changeProduction(bool promote, HttpResponse& res) {
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

// The engine is made before anything is saved: settings it cannot be made from are refused, and the
// engine in use keeps serving.
void AdminApi::saveEngine(const HttpRequest& req, HttpResponse& res) {
    auto body = decodeBody<ClientEngineSettings>(req, res);
    if (!body)
        return;
    std::lock_guard change(m_engineChange);
    auto engine = makeEngineFor(m_context, *body);
    if (!engine)
        return replyText(res, 400, engine.error());
    const auto saved = m_context.settings->setEngine(*body);
    if (saved) {
        m_context.engineSlot.replace(std::move(*engine));
        logLine(QStringLiteral("the engine is now %1").arg(engineDescription(*saved)));
    }
    replyResult(res, saved);
}

namespace {

// Longer than any engine needs to say hello, shorter than the panel waits for an admin answer.
constexpr auto testPatience = std::chrono::seconds(45);
// Of a longer answer, the beginning is enough to show that it came.
constexpr qsizetype testAnswerLimit = 4000;

// What one test generation brings, awaited by the admin worker that asked while the engine's events
// arrive on the I/O thread.
class TestGeneration final : public GenerationSink {
public:
    void piece(QString text) override {
        std::lock_guard lock(m_mutex);
        if (!m_firstPiece)
            m_firstPiece = elapsed();
        if (m_answer.size() < testAnswerLimit)
            m_answer += text.left(testAnswerLimit - m_answer.size());
    }
    void finished(EngineUsage) override { end(std::nullopt); }
    void failed(EngineFailure failure) override { end(std::move(failure)); }

    // False when the engine has not ended by then.
    bool waitUntil(std::chrono::steady_clock::time_point deadline) {
        std::unique_lock lock(m_mutex);
        return m_ended.wait_until(lock, deadline, [this] { return m_total.has_value(); });
    }
    std::expected<ClientEngineTestResult, EngineFailure> outcome() const {
        std::lock_guard lock(m_mutex);
        if (m_failure)
            return std::unexpected(*m_failure);
        const qint64 total = m_total.value_or(0);
        return ClientEngineTestResult{m_firstPiece.value_or(total), total, m_answer};
    }

    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    qint64 elapsed() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    }
    void end(std::optional<EngineFailure> failure) {
        {
            std::lock_guard lock(m_mutex);
            m_failure = std::move(failure);
            m_total = elapsed();
        }
        m_ended.notify_all();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    std::optional<qint64> m_firstPiece;
    std::optional<qint64> m_total;
    QString m_answer;
    std::optional<EngineFailure> m_failure;
};

} // namespace

// A prompt small enough for any engine to answer at once, sent as a client's would be but without
// the org preamble: it asks whether the engine answers, not what the organisation wants said. It
// takes no generation slot from the clients: it is one request, and only the administrator's.
void AdminApi::testEngine(HttpResponse& res) {
    const std::shared_ptr<InferenceEngine> engine = m_context.engineSlot.current();
    GenerationRequest request;
    request.turns.push_back({QStringLiteral("user"), QStringLiteral("Say hello.")});
    request.sampling.maxTokens = 32;
    auto generation = std::make_shared<TestGeneration>();
    std::unique_ptr<GenerationHandle> handle = engine->generate(std::move(request), generation);
    if (!generation->waitUntil(generation->started + testPatience)) {
        handle.reset(); // cancels it: nothing more comes
        return replyText(res, 504,
                         QStringLiteral("The engine did not finish its answer within %1 seconds.").arg(testPatience.count()));
    }
    const auto outcome = generation->outcome();
    if (!outcome)
        return replyText(res, outcome.error().status == 504 ? 504 : 502, outcome.error().message);
    replyJson(res, 200, *outcome);
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
    if (s.logging.mode == ClientAuditMode::audit)
        s.auditUnavailable = m_context.audit->unavailable();

    ClientCompositionStages stages;
    stages.systemPromptApplied = s.orgPreamble.has_value();
    if (s.orgPreamble)
        stages.systemPromptChars = graphemeCount(*s.orgPreamble);
    s.stages = stages;
    s.model = m_context.models->status();
    s.engine = m_context.engineSlot.current()->health();
    return s;
}

} // namespace tavrin
