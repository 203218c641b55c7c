#include "protocol/DaemonClient.h"
#include "support/Basics.h"
#include "support/ForeignListener.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

using namespace tavrin;
using namespace std::chrono_literals;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

Q_DECLARE_METATYPE(ScriptedResponse)

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

// One operation, reduced to the text a user would see ("<success>" when it worked).
template <class F> Call call(F f) {
    return [f](DaemonClient& client) -> QCoro::Task<QString> { co_return messageOf(co_await f(client)); };
}
#define OPERATION(expression) call([](DaemonClient& c) { return c.expression; })

const QString refused = QStringLiteral("Admin secret missing or rejected. Set it in Settings.");
const QString unreachable = QStringLiteral("Tavrin Keldmarch is not reachable: ");

} // namespace

class DaemonClientTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<DaemonClient> client;
    QTemporaryDir dir;

    struct Outcome {
        DownloadResult result;
        int answered = 0;
        qint64 lastReceived = 0;
        QByteArray file;
    };

    Outcome streamTo(const QString& path, bool jsonl) {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly))
            qFatal("cannot open %s", qPrintable(path));
        TransferWatch watch;
        QSignalSpy answered(&watch, &TransferWatch::answered);
        QSignalSpy received(&watch, &TransferWatch::received);
        auto task = jsonl ? client->streamAuditJSONL(true, std::move(file), &watch) : client->streamAuditCSV(std::move(file), &watch);
        Outcome outcome{QCoro::waitFor(std::move(task)), int(answered.count()),
                        received.isEmpty() ? 0 : received.last().at(0).toLongLong(), {}};
        outcome.file = test::fileBytes(path);
        return outcome;
    }

    QString run(const Call& c) { return QCoro::waitFor(c(*client)); }
    // The client aimed at another user's listener on 127.0.0.1; what it says when it keeps the password.
    QString aimAtForeign(const test::ForeignListener& squatter) {
        client = std::make_unique<DaemonClient>(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(squatter.port())),
                                                QStringLiteral("s3cret"), quickTimeouts());
        return QStringLiteral("Another user's program is listening on 127.0.0.1:%1. The admin password was not sent.")
            .arg(squatter.port());
    }
    QString status() { return run(OPERATION(status())); }
    void reconnect(const DaemonClientConfiguration& c) {
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), c);
    }

private slots:
    void init() {
        server = std::make_unique<ScriptedHttpServer>();
        server->setFallback(ScriptedResponse::json(200, "{}"));
        reconnect(quickTimeouts());
    }
    void cleanup() {
        client.reset();
        server.reset();
    }

    void authorizationOnlyWithANonEmptySecretAndAsItWasWhenSent() {
        const auto sent = [&] { return server->requests().back().header("Authorization"); };
        server->route("/admin/status", ScriptedResponse::text(401, "no"));
        for (const auto& secret : {std::optional<QString>{}, std::optional<QString>{QString()}, std::optional<QString>{" \n"}}) {
            client->setAdminSecret(secret);
            QVERIFY(status() == refused && !sent());
        }
        QCOMPARE(server->requestCount(), 3u);
        // Sent as the server reads its file: trimmed by the one rule, never with a line break.
        client->setAdminSecret(QStringLiteral(" s3cret\u00A0\r\n"));
        status();
        QCOMPARE(sent(), QByteArray("Bearer s3cret"));
        // Changed while a request is on its way: only later requests carry the new one.
        server->route("/admin/status", ScriptedResponse::json(200, "{}").after(300ms));
        auto first = client->status();
        client->setAdminSecret(QStringLiteral("rotated"));
        QCoro::waitFor(first);
        status();
        const auto requests = server->requests();
        QVERIFY(requests.size() == 6 && requests[4].header("Authorization") == "Bearer s3cret" &&
                requests[5].header("Authorization") == "Bearer rotated");
    }

    void healthIsTrueOnlyForExactly200AndNeverAuthenticates() {
        const std::pair<ScriptedResponse, bool> answers[] = {
            {ScriptedResponse::text(200, ""), true},     {ScriptedResponse::text(204, ""), false},
            {ScriptedResponse::text(503, "starting"), false}, {ScriptedResponse::stall(), false},
            {ScriptedResponse::closeMidBody(200, "o"), false}};
        for (const auto& [answer, healthy] : answers) {
            server->clearRequests();
            server->route("/healthz", answer);
            QVERIFY2(QCoro::waitFor(client->health()) == healthy, qPrintable(QString::number(answer.status)));
            QCOMPARE(server->requests().front().target, QByteArray("/healthz"));
            QCOMPARE(server->requests().front().header("Authorization"), std::nullopt);
        }
    }

    // What a user reads for each kind of answer to a status poll. A message ending in "*" is a prefix:
    // a dropped connection is said in the transport's own words, wherever the answer broke off.
    void eachAnswerReadsAsItsFailure() {
        const QString dropped = unreachable + "Connection closed*"; // (a timeout: timeoutsSayWhichLimitWasReached)
        const std::pair<ScriptedResponse, QString> answers[] = {
            {ScriptedResponse::text(401, "bad token"), refused},
            {ScriptedResponse::text(403, "loopback only"), refused},
            {ScriptedResponse::text(402, "pay up"), "Server returned HTTP 402: pay up"},
            {ScriptedResponse::text(404, ""), "Server returned HTTP 404: "},
            {ScriptedResponse::text(500, "état: cassé"), "Server returned HTTP 500: état: cassé"},
            {ScriptedResponse::bytes(502, QByteArray("\xff\xfe\x00\x81", 4)), "Server returned HTTP 502: <binary>"},
            {ScriptedResponse::json(200, ""), "Could not decode server response: empty document"},
            {ScriptedResponse::json(200, R"({"serverVersion":"1"})"), "Could not decode server response: stateDirectory: missing required key"},
            {ScriptedResponse::json(200, test::fullStatusDocument()), "<success>"},
            {ScriptedResponse::raw(""), dropped}, // before answering
            {ScriptedResponse::raw("HTTP/1.1 200 OK\r\nContent-Ty"), dropped},
            {ScriptedResponse::closeMidBody(200, "{\"serverVers"), dropped}};
        for (const auto& [answer, message] : answers) {
            server->route("/admin/status", answer);
            const QString said = status();
            QVERIFY2(message.endsWith(u'*') ? said.startsWith(message.chopped(1)) : said == message,
                     qPrintable(said + QStringLiteral(" ≠ ") + message));
        }
    }

    // A change the server made is a success whatever its answer says (another server's, a later
    // version's shape): promote, rollback and clear pass the bytes on, as do the exports; a record
    // that does not decode is a failure that names where, in a list the key.
    void changesSucceedWhateverTheirAnswerAndRecordsAreDecoded() {
        for (const auto& answer : {ScriptedResponse::json(200, R"({"pinState":{},"ok":true})"),
                                   ScriptedResponse::text(200, "done"), ScriptedResponse::text(204, "")}) {
            server->setFallback(answer);
            for (const Call& change :
                 {OPERATION(promoteModel()), OPERATION(rollbackModel()), OPERATION(clearStagedUpdate())})
                QCOMPARE(run(change), QStringLiteral("<success>"));
        }
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, QByteArray("a,b\n\xff", 5)));
        QCOMPARE(*QCoro::waitFor(client->exportAuditCSV()), QByteArray("a,b\n\xff", 5));
        QByteArray list = test::keyListDocument(3);
        list.replace(R"("key-2","label")", R"("key-2","label":null,"x")");
        server->route("/admin/keys", ScriptedResponse::json(200, list));
        QCOMPARE(run(OPERATION(listKeys())),
                 QStringLiteral("Could not decode server response: keys[2].label: null in a required field"));
    }

    void aPathThatIsNotAUrlSendsNothing() {
        QCOMPARE(run(OPERATION(revokeKey("my key"))), unreachable + "invalid path /admin/keys/my key/revoke");
        QCOMPARE(run(OPERATION(deleteKey("a b"))), unreachable + "invalid path /admin/keys/a b");
        QCOMPARE(server->requestCount(), 0u);
    }

    void timeoutsSayWhichLimitWasReached() {
        server->route("/admin/status", ScriptedResponse::json(200, "{}").after(2s));
        const std::tuple<std::chrono::milliseconds, std::chrono::milliseconds, const char*> limits[] = {
            {5s, 500ms, "no complete answer within 0.5 seconds"}, {400ms, 5s, "no data for 0.4 seconds"}};
        for (const auto& [idle, request, said] : limits) {
            DaemonClientConfiguration c = quickTimeouts();
            c.idleTimeout = idle;
            c.requestTimeout = request;
            reconnect(c);
            QCOMPARE(status(), unreachable + "The request timed out (" + said + ").");
        }
    }

    // A poll asks whether a tagged record changed; a 304 gives back the record read before. A server
    // that ignores the question, or tags nothing, is read in full every time.
    void aTaggedRecordIsAskedForAgainAndKeptWhileUnchanged() {
        const auto keys = [&](int status, QByteArray body, QByteArray tag) {
            ScriptedResponse a = ScriptedResponse::json(status, std::move(body));
            if (!tag.isEmpty())
                a.headers.emplace_back("ETag", std::move(tag));
            server->route("/admin/keys", a);
            return QCoro::waitFor(client->listKeys());
        };
        const auto askedFor = [&] { return server->requests().back().header("If-None-Match"); };

        const auto first = keys(200, test::keyListDocument(2), "\"v1\"");
        QVERIFY(first && first->size() == 2 && !askedFor());
        const auto second = keys(304, {}, "\"v1\"");
        QVERIFY(second && *second == *first && askedFor() == "\"v1\"");
        QCOMPARE(keys(200, test::keyListDocument(3), "\"v2\"")->size(), 3u); // asked, answered in full
        QCOMPARE(keys(200, test::keyListDocument(1), {})->size(), 1u);       // tags nothing
        QCOMPARE(keys(200, test::keyListDocument(1), {})->size(), 1u);
        QVERIFY(!askedFor());
        // A 304 nobody asked for is no empty list.
        QCOMPARE(messageOf(keys(304, {}, "\"v1\"")), "Server returned HTTP 304: ");
    }

    // An answer and its deadline due in the same pass of the event loop: whichever is handled
    // first, the exchange ends once, and nothing is written into an exchange that has ended (the
    // sanitizer build reads every such write).
    void answersArrivingAtTheirDeadlineEndTheExchangeOnce() {
        DaemonClientConfiguration c = quickTimeouts();
        c.requestTimeout = c.resourceTimeout = c.healthTimeout = 20ms;
        reconnect(c);
        server->route("/healthz", ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", ScriptedResponse::json(200, test::fullStatusDocument()));
        const QString timedOut = unreachable + "The request timed out (no complete answer within 0.02 seconds).";
        for (int i = 0; i < 60; ++i) {
            auto healthy = client->health();
            auto polled = client->status();
            QTest::qWait(2);     // the requests leave
            QThread::msleep(40); // the answers arrive while the deadlines pass
            QCoro::waitFor(std::move(healthy));
            const QString message = messageOf(QCoro::waitFor(std::move(polled)));
            QVERIFY2(message == QStringLiteral("<success>") || message == timedOut, qPrintable(message));
        }
    }

    // The audit exports streamed to a file: every byte reaches it, the answer's head is reported
    // before the body, failures map as for any other operation, and a file that will not take the
    // bytes ends the download with its own error.
    // Larger than the read buffer, so that the body arrives in many pieces.
    void everyByteReachesTheFile() {
        QByteArray body(3 * 1024 * 1024 + 17, Qt::Uninitialized);
        for (char& c : body)
            c = char(QRandomGenerator::global()->bounded(256));
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, body));
        const Outcome outcome = streamTo(dir.filePath("audit.jsonl"), true);
        TAVRIN_REQUIRE(outcome.result);
        QVERIFY(*outcome.result == body.size() && outcome.file == body);
        QVERIFY(outcome.answered == 1 && outcome.lastReceived == body.size());
        QCOMPARE(server->requests().at(0).target, "/admin/audit/export?format=jsonl&includePromptContents=true");
    }

    // An error body never lands in the file; one that never ends is told by its start. (A body cut
    // short after a good head is the export download's own test.) A message ending in "*" is a prefix.
    void failuresMapAsForEveryOperationAndWriteNothing() {
        const std::pair<ScriptedResponse, QString> failures[] = {
            {ScriptedResponse::text(500, "export failed"), "Server returned HTTP 500: export failed"},
            {ScriptedResponse::bytes(502, QByteArray("\xff\xfe", 2)), "Server returned HTTP 502: <binary>"},
            {ScriptedResponse::endless(500, "nope "), "Server returned HTTP 500: nope nope *"},
            {ScriptedResponse::stall(), unreachable + "The request timed out (no data for 0.6 seconds)."}};
        for (const auto& [response, message] : failures) {
            server->route("/admin/audit/export", response);
            const Outcome outcome = streamTo(dir.filePath("usage.csv"), false);
            const QString said = outcome.result ? QStringLiteral("<success>") : outcome.result.error().message();
            QVERIFY2(message.endsWith(u'*') ? said.startsWith(message.chopped(1)) && said.size() < 4000 : said == message,
                     qPrintable(said.left(80)));
            QVERIFY(outcome.answered == 0 && outcome.file.isEmpty());
        }
    }

    void aFileThatTakesNoBytesEndsTheDownloadWithItsError() {
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, QByteArray(600 * 1024, 'x')));
        auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
        QVERIFY(full->open(QIODevice::WriteOnly));
        const DownloadResult result = QCoro::waitFor(client->streamAuditCSV(std::move(full)));
        QVERIFY(!result);
        QCOMPARE(result.error().message(), qt_error_string(ENOSPC));
        QVERIFY(std::holds_alternative<QString>(result.error().cause));
    }

    // Whoever holds the port while the server is away (another user, here "nobody") answers health
    // checks as well as the server would; the password goes to no call, streamed or not.
    void thePasswordGoesOnlyToAListenerOfThisUser() {
        if (!test::ForeignListener::available())
            QSKIP("running a listener as another user needs root");
        test::ForeignListener squatter;
        QVERIFY(squatter.listenTcp());
        const QString kept = aimAtForeign(squatter);
        QVERIFY(QCoro::waitFor(client->health()));
        QCOMPARE(status(), kept);
        QCOMPARE(run(OPERATION(createKey("CI", std::nullopt))), kept);
        QCOMPARE(streamTo(dir.filePath("usage.csv"), false).result.error().message(), kept);
        const QByteArray seen = squatter.received();
        QVERIFY2(seen.contains("GET /healthz") && !seen.contains("Authorization") && !seen.contains("/admin/"), seen.constData());
    }

    // Another user's program on [::] at the admin port takes IPv4 connections only when it is not
    // IPv6-only: beside this user's server on 127.0.0.1, an IPv6-only one holds nothing back.
    void aForeignIPv6ListenerKeepsThePasswordOnlyWhenItTakesIPv4_data() {
        QTest::addColumn<bool>("v6only");
        QTest::newRow("IPv6-only, beside this user's server") << true;
        QTest::newRow("taking IPv4 too") << false;
    }
    void aForeignIPv6ListenerKeepsThePasswordOnlyWhenItTakesIPv4() {
        QFETCH(bool, v6only);
        if (!test::ForeignListener::available())
            QSKIP("running a listener as another user needs root");
        test::ForeignListener squatter;
        server->route("/admin/status", ScriptedResponse::json(200, test::fullStatusDocument()));
        if (v6only) {
            QVERIFY(squatter.listenTcp6(server->port(), true));
        } else {
            server.reset(); // a dual-stack [::] cannot share the port with a listener on 127.0.0.1
            QVERIFY(squatter.listenTcp6(0, false));
        }
        const QString kept = aimAtForeign(squatter);
        QCOMPARE(status(), v6only ? QStringLiteral("<success>") : kept);
        if (v6only)
            QCOMPARE(server->requests().back().header("Authorization"), "Bearer s3cret");
        QVERIFY(!squatter.received().contains("Authorization"));
    }

    // Whoever answers may send a body that never ends: each call gives up as it passes what its answer
    // can need, and says so; a health check is simply not healthy. (That the test ends at all is the
    // proof that memory stayed bounded: unbounded, the body grows until the process dies.)
    void anAnswerPastWhatItCanNeedIsAbandoned_data() {
        QTest::addColumn<ScriptedResponse>("answer");
        QTest::addColumn<QString>("statusSays");
        QTest::addColumn<QString>("keysSay");
        const QString record = QStringLiteral("The server's answer was too large (over 1 MiB).");
        const QString list = QStringLiteral("The server's answer was too large (over 16 MiB).");
        QTest::newRow("endless") << ScriptedResponse::endless(200, "{\"serverVersion\":\"1\",") << record << list;
        QTest::newRow("endless failure") << ScriptedResponse::endless(500, "\x1b[2J") << record << list;
        // Told by its length at once; a list may be that long.
        QTest::newRow("declared too long") << ScriptedResponse::json(200, test::keyListDocument(1) + QByteArray(2 << 20, ' '))
                                           << record << QStringLiteral("<success>");
    }
    void anAnswerPastWhatItCanNeedIsAbandoned() {
        QFETCH(ScriptedResponse, answer);
        QFETCH(QString, statusSays);
        QFETCH(QString, keysSay);
        DaemonClientConfiguration c = quickTimeouts();
        c.requestTimeout = c.resourceTimeout = c.healthTimeout = 60s; // only the limit may end these
        reconnect(c);
        server->setFallback(answer);
        QVERIFY(!QCoro::waitFor(client->health()));
        QCOMPARE(status(), statusSays);
        QCOMPARE(run(OPERATION(listKeys())), keysSay);
    }

    // A redirect would take the password wherever it points: it is a failed call, and the place it
    // names hears nothing, from any kind of call.
    void aRedirectIsFollowedNowhere() {
        ScriptedHttpServer elsewhere;
        elsewhere.setFallback(ScriptedResponse::json(200, test::fullStatusDocument()));
        ScriptedResponse away = ScriptedResponse::text(302, "");
        away.headers.emplace_back("Location", elsewhere.baseUrl().toEncoded() + "/admin/status");
        server->setFallback(away);
        QCOMPARE(status(), QStringLiteral("Server returned HTTP 302: "));
        QVERIFY(!QCoro::waitFor(client->health()));
        QCOMPARE(streamTo(dir.filePath("usage.csv"), false).result.error().message(), "Server returned HTTP 302: ");
        QCOMPARE(elsewhere.requestCount(), 0u);
    }
};

QTEST_GUILESS_MAIN(DaemonClientTest)
#include "DaemonClientTest.moc"
