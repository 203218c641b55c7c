#include "protocol/DaemonClient.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

using namespace tavrin;
using namespace std::chrono_literals;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

namespace {

DaemonClientConfiguration quickTimeouts() {
    DaemonClientConfiguration c;
    c.requestTimeout = 1500ms;
    c.healthTimeout = 800ms;
    c.idleTimeout = 600ms;
    c.resourceTimeout = 1500ms;
    return c;
}

template <class T> QString messageOf(const ClientResult<T>& result) {
    return result ? QStringLiteral("<success>") : result.error().message();
}

using Call = std::function<QCoro::Task<QString>(DaemonClient&)>;

// Runs one operation and reduces it to the text a user would see ("<success>" when it worked).
template <class F> Call call(F f) {
    return [f](DaemonClient& client) -> QCoro::Task<QString> {
        auto result = co_await f(client);
        co_return messageOf(result);
    };
}

} // namespace

Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(ScriptedResponse)

class DaemonClientTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<DaemonClient> client;

    QString run(const Call& c) { return QCoro::waitFor(c(*client)); }

private slots:
    void init() {
        server = std::make_unique<ScriptedHttpServer>();
        server->setFallback(ScriptedResponse::json(200, "{}"));
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), quickTimeouts());
    }
    void cleanup() {
        client.reset();
        server.reset();
    }

    // One operation of each shape (the server's contract tests run every one against the real
    // server): no body and no Content-Type on GET and DELETE, optional fields left out, exact queries.
    void sendsExactlyTheRequestOfEachOperation_data() {
        QTest::addColumn<Call>("operation");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body"); // "-" for a request without a body

        auto row = [](const char* name, Call c, const char* method, const char* target, const char* body) {
            QTest::newRow(name) << c << QByteArray(method) << QByteArray(target) << QByteArray(body);
        };
        row("status", call([](DaemonClient& c) { return c.status(); }), "GET", "/admin/status", "-");
        row("create without scopes", call([](DaemonClient& c) { return c.createKey("CI runner", std::nullopt); }), "POST",
            "/admin/keys", R"({"label":"CI runner"})");
        row("create readonly", call([](DaemonClient& c) { return c.createKey("Docs", std::vector{ClientAPIKeyScope::readonly}); }),
            "POST", "/admin/keys", R"({"label":"Docs","scopes":["readonly"]})");
        row("revoke", call([](DaemonClient& c) { return c.revokeKey("k_7f3"); }), "POST", "/admin/keys/k_7f3/revoke", "{}");
        row("delete", call([](DaemonClient& c) { return c.deleteKey("k_7f3"); }), "DELETE", "/admin/keys/k_7f3", "-");
        row("jsonl without prompts", call([](DaemonClient& c) { return c.exportAuditJSONL(false); }), "GET",
            "/admin/audit/export?format=jsonl&includePromptContents=false", "-");
        row("jsonl with prompts", call([](DaemonClient& c) { return c.exportAuditJSONL(true); }), "GET",
            "/admin/audit/export?format=jsonl&includePromptContents=true", "-");
        row("update network", call([](DaemonClient& c) {
                return c.updateNetworkPreferences({"0.0.0.0", 11500, true, std::nullopt, {}, {"10.0.0.0/8"}});
            }),
            "PUT", "/admin/network",
            R"({"bindHost":"0.0.0.0","bindPort":11500,"corsAllowedOrigins":[],"ipAllowlist":["10.0.0.0/8"],"lanEnabled":true})");
        row("clear preamble", call([](DaemonClient& c) { return c.setOrgPreamble(std::nullopt); }), "PUT",
            "/admin/settings/preamble", "{}");
        row("promote", call([](DaemonClient& c) { return c.promoteModel(); }), "POST", "/admin/model/promote", "{}");
    }

    void sendsExactlyTheRequestOfEachOperation() {
        QFETCH(Call, operation);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        run(operation);
        const auto requests = server->requests();
        QCOMPARE(requests.size(), 1u);
        const auto& r = requests.front();
        QCOMPARE(r.method, method);
        QCOMPARE(r.target, target);
        QCOMPARE(r.header("Authorization"), QByteArray("Bearer s3cret"));
        if (body == "-") {
            QVERIFY(r.body.isEmpty());
            QCOMPARE(r.header("Content-Type"), std::nullopt);
        } else {
            QCOMPARE(r.body, body);
            QCOMPARE(r.header("Content-Type"), QByteArray("application/json"));
        }
    }

    void authorizationOnlyWithANonEmptySecret() {
        server->route("/admin/status", ScriptedResponse::text(401, "no"));
        for (const std::optional<QString>& secret :
             {std::optional<QString>{}, std::optional<QString>{QString()}, std::optional<QString>{" \n"}}) {
            server->clearRequests();
            client->setAdminSecret(secret);
            QCOMPARE(run(call([](DaemonClient& c) { return c.status(); })),
                     QStringLiteral("Admin secret missing or rejected. Set it in Settings."));
            QCOMPARE(server->requestCount(), 1u);
            QCOMPARE(server->requests().front().header("Authorization"), std::nullopt);
        }
        // Sent as the server reads its file: trimmed by the one rule, never with a line break.
        client->setAdminSecret(QStringLiteral(" s3cret\u00A0\r\n"));
        server->clearRequests();
        run(call([](DaemonClient& c) { return c.status(); }));
        QCOMPARE(server->requests().front().header("Authorization"), QByteArray("Bearer s3cret"));
    }

    void healthIsTrueOnlyForExactly200AndNeverAuthenticates_data() {
        QTest::addColumn<ScriptedResponse>("answer");
        QTest::addColumn<bool>("healthy");
        QTest::newRow("200 empty") << ScriptedResponse::text(200, "") << true;
        QTest::newRow("204") << ScriptedResponse::text(204, "") << false;
        QTest::newRow("503") << ScriptedResponse::text(503, "starting") << false;
        QTest::newRow("stalled") << ScriptedResponse::stall() << false;
        QTest::newRow("closed mid-body") << ScriptedResponse::closeMidBody(200, "o") << false;
    }

    void healthIsTrueOnlyForExactly200AndNeverAuthenticates() {
        QFETCH(ScriptedResponse, answer);
        QFETCH(bool, healthy);
        server->route("/healthz", answer);
        QCOMPARE(QCoro::waitFor(client->health()), healthy);
        QCOMPARE(server->requests().front().target, QByteArray("/healthz"));
        QCOMPARE(server->requests().front().header("Authorization"), std::nullopt);
    }

    void statusCodesMapToFailures_data() {
        QTest::addColumn<ScriptedResponse>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("401") << ScriptedResponse::text(401, "bad token")
                             << "Admin secret missing or rejected. Set it in Settings.";
        QTest::newRow("403") << ScriptedResponse::text(403, "loopback only")
                             << "Admin secret missing or rejected. Set it in Settings.";
        QTest::newRow("402") << ScriptedResponse::text(402, "pay up") << "Server returned HTTP 402: pay up";
        QTest::newRow("404") << ScriptedResponse::text(404, "") << "Server returned HTTP 404: ";
        QTest::newRow("500 utf-8") << ScriptedResponse::text(500, "état: cassé")
                                   << "Server returned HTTP 500: état: cassé";
        QTest::newRow("502 binary") << ScriptedResponse::bytes(502, QByteArray("\xff\xfe\x00\x81", 4))
                                    << "Server returned HTTP 502: <binary>";
        QTest::newRow("200 empty") << ScriptedResponse::json(200, "")
                                   << "Could not decode server response: empty document";
        QTest::newRow("200 missing key")
            << ScriptedResponse::json(200, R"({"serverVersion":"1"})")
            << "Could not decode server response: stateDirectory: missing required key";
        QTest::newRow("200 whole") << ScriptedResponse::json(200, test::fullStatusDocument()) << "<success>";
    }

    void statusCodesMapToFailures() {
        QFETCH(ScriptedResponse, answer);
        QFETCH(QString, message);
        server->route("/admin/status", answer);
        QCOMPARE(run(call([](DaemonClient& c) { return c.status(); })), message);
    }

    // Promote, rollback and clear answer with the state after the change; an empty success is a
    // success without a record.
    void changesAnswerWithTheStateAfterThem() {
        const QJsonObject status = QJsonDocument::fromJson(test::fullStatusDocument()).object();
        const QByteArray model = QJsonDocument(status["model"].toObject()).toJson();
        const QByteArray updater = QJsonDocument(status["updater"].toObject()).toJson();
        server->route("/admin/model/promote", ScriptedResponse::json(200, model));
        const auto promoted = QCoro::waitFor(client->promoteModel());
        QVERIFY(promoted && *promoted);
        QCOMPARE((*promoted)->pinState.production->alias, status["model"]["pinState"]["production"]["alias"].toString());
        server->route("/admin/updates/clear", ScriptedResponse::json(200, updater));
        QCOMPARE(QCoro::waitFor(client->clearStagedUpdate()).value()->channel, status["updater"]["channel"].toString());

        server->route("/admin/model/rollback", ScriptedResponse::text(200, ""));
        const auto rolledBack = QCoro::waitFor(client->rollbackModel());
        QVERIFY(rolledBack && !*rolledBack);
        server->route("/admin/model/rollback", ScriptedResponse::json(200, R"({"pinState":{}})"));
        QCOMPARE(messageOf(QCoro::waitFor(client->rollbackModel())),
                 QStringLiteral("Could not decode server response: pinState.previous: missing required key"));
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, QByteArray("a,b\n\xff", 5)));
        QCOMPARE(*QCoro::waitFor(client->exportAuditCSV()), QByteArray("a,b\n\xff", 5));
    }

    void aKeyListFaultNamesTheKey() {
        QByteArray list = test::keyListDocument(3);
        list.replace(R"("key-2","label")", R"("key-2","label":null,"x")");
        server->route("/admin/keys", ScriptedResponse::json(200, list));
        QCOMPARE(run(call([](DaemonClient& c) { return c.listKeys(); })),
                 QStringLiteral("Could not decode server response: keys[2].label: null in a required field"));
    }

    void aPathThatIsNotAUrlSendsNothing() {
        QCOMPARE(run(call([](DaemonClient& c) { return c.revokeKey("my key"); })),
                 QStringLiteral("Tavrin Keldmarch is not reachable: invalid path /admin/keys/my key/revoke"));
        QCOMPARE(run(call([](DaemonClient& c) { return c.deleteKey("a b"); })),
                 QStringLiteral("Tavrin Keldmarch is not reachable: invalid path /admin/keys/a b"));
        QCOMPARE(server->requestCount(), 0u);
    }

    void transportFailuresReadAsNotReachable_data() {
        QTest::addColumn<ScriptedResponse>("answer");
        QTest::addColumn<QString>("expected"); // a substring of the message
        QTest::newRow("stalled") << ScriptedResponse::stall() << "timed out";
        QTest::newRow("slow answer") << ScriptedResponse::json(200, "{}").after(2500ms) << "timed out";
        // A dropped connection is said as the transport says it, wherever the answer broke off.
        QTest::newRow("dropped before answering") << ScriptedResponse::raw("") << "reachable: Connection closed";
        QTest::newRow("dropped mid-headers") << ScriptedResponse::raw("HTTP/1.1 200 OK\r\nContent-Ty")
                                             << "reachable: Connection closed";
        QTest::newRow("dropped mid-body") << ScriptedResponse::closeMidBody(200, "{\"serverVers")
                                          << "reachable: Connection closed";
    }

    void transportFailuresReadAsNotReachable() {
        QFETCH(ScriptedResponse, answer);
        QFETCH(QString, expected);
        server->route("/admin/status", answer);
        const QString message = run(call([](DaemonClient& c) { return c.status(); }));
        QVERIFY2(message.startsWith(QStringLiteral("Tavrin Keldmarch is not reachable: ")),
                 qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("canceled")), qPrintable(message));
    }

    void timeoutsSayWhichLimitWasReached() {
        DaemonClientConfiguration c = quickTimeouts();
        c.idleTimeout = 5s;
        c.requestTimeout = 500ms;
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), c);
        server->route("/admin/status", ScriptedResponse::json(200, "{}").after(2s));
        QCOMPARE(run(call([](DaemonClient& c) { return c.status(); })),
                 QStringLiteral("Tavrin Keldmarch is not reachable: The request timed out (no complete "
                                "answer within 0.5 seconds)."));

        c.idleTimeout = 400ms;
        c.requestTimeout = 5s;
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), c);
        QCOMPARE(run(call([](DaemonClient& c) { return c.status(); })),
                 QStringLiteral(
                     "Tavrin Keldmarch is not reachable: The request timed out (no data for 0.4 seconds)."));
    }

    void aStoppedServerFailsEveryCallAndIsNotHealthy() {
        const QUrl closed = server->baseUrl();
        server.reset();
        client = std::make_unique<DaemonClient>(closed, QStringLiteral("s3cret"), quickTimeouts());
        QVERIFY(!QCoro::waitFor(client->health()));
        const QString message = run(call([](DaemonClient& c) { return c.listKeys(); }));
        QVERIFY2(message.startsWith("Tavrin Keldmarch is not reachable: ") && message.contains("refused"),
                 qPrintable(message));
    }

    void aSecretChangedMidFlightOnlyAffectsLaterRequests() {
        server->route("/admin/status", ScriptedResponse::json(200, "{}").after(300ms));
        auto first = client->status();
        client->setAdminSecret(QStringLiteral("rotated"));
        QCoro::waitFor(first);
        QCoro::waitFor(client->status());
        const auto requests = server->requests();
        QCOMPARE(requests.size(), 2u);
        QCOMPARE(requests[0].header("Authorization"), QByteArray("Bearer s3cret"));
        QCOMPARE(requests[1].header("Authorization"), QByteArray("Bearer rotated"));
    }

    // A poll asks whether a tagged record changed; a 304 gives back the record read before. A server
    // that ignores the question, or tags nothing, is read in full every time.
    void aTaggedRecordIsAskedForAgainAndKeptWhileUnchanged() {
        const auto answer = [](int status, QByteArray body, QByteArray tag) {
            ScriptedResponse a = ScriptedResponse::json(status, std::move(body));
            if (!tag.isEmpty())
                a.headers.emplace_back("ETag", std::move(tag));
            return a;
        };
        const auto keys = [&](const ScriptedResponse& a) {
            server->route("/admin/keys", a);
            return QCoro::waitFor(client->listKeys());
        };
        const auto askedFor = [&] { return server->requests().back().header("If-None-Match"); };

        const auto first = keys(answer(200, test::keyListDocument(2), "\"v1\""));
        QVERIFY(first && first->size() == 2 && !askedFor());
        const auto second = keys(answer(304, {}, "\"v1\""));
        QVERIFY(second && *second == *first && askedFor() == "\"v1\"");
        QCOMPARE(keys(answer(200, test::keyListDocument(3), "\"v2\""))->size(), 3u); // asked, answered in full
        QCOMPARE(keys(answer(200, test::keyListDocument(1), {}))->size(), 1u);       // tags nothing
        QCOMPARE(keys(answer(200, test::keyListDocument(1), {}))->size(), 1u);
        QVERIFY(!askedFor());
        // A 304 nobody asked for is no empty list.
        QCOMPARE(messageOf(keys(answer(304, {}, "\"v1\""))), "Server returned HTTP 304: ");
    }

    // An answer and its deadline due in the same pass of the event loop: whichever is handled
    // first, the exchange ends once, and nothing is written into an exchange that has ended (the
    // sanitizer build reads every such write).
    void answersArrivingAtTheirDeadlineEndTheExchangeOnce() {
        DaemonClientConfiguration c = quickTimeouts();
        c.requestTimeout = c.resourceTimeout = c.healthTimeout = 20ms;
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), c);
        server->route("/healthz", ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", ScriptedResponse::json(200, test::fullStatusDocument()));
        const QString timedOut = QStringLiteral(
            "Tavrin Keldmarch is not reachable: The request timed out (no complete answer within 0.02 seconds).");
        for (int i = 0; i < 60; ++i) {
            auto healthy = client->health();
            auto status = client->status();
            QTest::qWait(2);     // the requests leave
            QThread::msleep(40); // the answers arrive while the deadlines pass
            QCoro::waitFor(std::move(healthy));
            const QString message = messageOf(QCoro::waitFor(std::move(status)));
            QVERIFY2(message == QStringLiteral("<success>") || message == timedOut, qPrintable(message));
        }
    }
};

QTEST_GUILESS_MAIN(DaemonClientTest)
#include "DaemonClientTest.moc"
