// The admin API of the reference server, driven by the panel's own DaemonClient over real HTTP.

#include "HttpProbe.h"
#include "ServerTesting.h"

#include "protocol/HardwareProbe.h"

#include <QDateTime>
#include <QNetworkInterface>

#include <functional>
#include <map>

using namespace tavrin;
using namespace tavrin::test;

namespace {

using AdminCall = std::function<QCoro::Task<std::optional<DaemonClientError>>(DaemonClient&)>;

template <class T>
std::optional<DaemonClientError> errorOf(ClientResult<T> r) {
    return r ? std::nullopt : std::optional(r.error());
}

// One entry per admin operation of the panel's client, so that a refusal is proven everywhere.
const std::map<QString, AdminCall>& adminCalls() {
    static const std::map<QString, AdminCall> calls{
        {"status", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.status()); }},
        {"listKeys", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.listKeys()); }},
        {"createKey", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.createKey(QStringLiteral("k"), std::nullopt)); }},
        {"revokeKey", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.revokeKey(QStringLiteral("key_x"))); }},
        {"rotateKey", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.rotateKey(QStringLiteral("key_x"))); }},
        {"deleteKey", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.deleteKey(QStringLiteral("key_x"))); }},
        {"loggingSettings", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.loggingSettings()); }},
        {"updateLoggingSettings", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.updateLoggingSettings({ClientAuditMode::audit, 7, true})); }},
        {"exportAuditCSV", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.exportAuditCSV()); }},
        {"exportAuditJSONL", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.exportAuditJSONL(true)); }},
        {"networkPreferences", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.networkPreferences()); }},
        {"updateNetworkPreferences", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.updateNetworkPreferences({QStringLiteral("127.0.0.1"), 4000, false, std::nullopt, {}, {}})); }},
        {"orgPreamble", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.orgPreamble()); }},
        {"setOrgPreamble", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.setOrgPreamble(QStringLiteral("p"))); }},
        {"updaterStatus", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.updaterStatus()); }},
        {"checkForUpdates", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.checkForUpdates()); }},
        {"downloadUpdate", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.downloadUpdate()); }},
        {"clearStagedUpdate", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.clearStagedUpdate()); }},
        {"promoteModel", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.promoteModel()); }},
        {"rollbackModel", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.rollbackModel()); }},
        {"createDiagnostics", [](DaemonClient& c) -> QCoro::Task<std::optional<DaemonClientError>> { co_return errorOf(co_await c.createDiagnostics(false)); }},
    };
    return calls;
}

} // namespace

class AdminContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
    }
    void cleanup() {
        m_client.reset();
        if (m_server)
            QCOMPARE(m_server->stop().value_or(-1), 0);
        m_server.reset();
    }

    void everyAdminPathRefusesAMissingOrWrongPassword_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<std::optional<QString>>("presented");
        for (const auto& [name, call] : adminCalls()) {
            QTest::addRow("%s without password", qPrintable(name)) << name << std::optional<QString>();
            QTest::addRow("%s with wrong password", qPrintable(name)) << name << std::optional<QString>(QStringLiteral("wrong"));
            QTest::addRow("%s with password plus a suffix", qPrintable(name))
                << name << std::optional<QString>(ReferenceServer::defaultAdminSecret() + QStringLiteral("x"));
        }
    }
    void everyAdminPathRefusesAMissingOrWrongPassword() {
        QFETCH(QString, call);
        QFETCH(std::optional<QString>, presented);
        m_client->setAdminSecret(presented);
        const auto error = await(adminCalls().at(call)(*m_client));
        QVERIFY(error);
        QVERIFY2(error->is<DaemonClientError::Unauthenticated>(), qPrintable(error->message()));

        // A refused request changes nothing.
        m_client->setAdminSecret(m_server->adminSecret());
        const auto keys = await(m_client->listKeys());
        TAVRIN_REQUIRE(keys);
        QVERIFY(keys->empty());
        const auto preamble = await(m_client->orgPreamble());
        TAVRIN_REQUIRE(preamble);
        QVERIFY(!preamble->preamble);
    }

    void noAdminSecretFileMeansEveryAdminRequestIsRefused_data() {
        QTest::addColumn<std::optional<QString>>("fileContents");
        QTest::newRow("no file") << std::optional<QString>();
        QTest::newRow("empty file") << std::optional<QString>(QString());
        QTest::newRow("only whitespace") << std::optional<QString>(QStringLiteral(" \n\t\n"));
    }
    void noAdminSecretFileMeansEveryAdminRequestIsRefused() {
        QFETCH(std::optional<QString>, fileContents);
        m_server->writeAdminSecret(fileContents);
        for (const auto& presented : {QString(), QStringLiteral(" "), ReferenceServer::defaultAdminSecret()}) {
            m_client->setAdminSecret(presented);
            const auto status = await(m_client->status());
            QVERIFY(!status && status.error().is<DaemonClientError::Unauthenticated>());
        }
        QVERIFY(await(m_client->health())); // health needs no password
    }

    void rewrittenAdminSecretAppliesWithoutRestart() {
        TAVRIN_REQUIRE(await(m_client->status()));
        const QString next = QStringLiteral("a-brand-new-password-for-the-server");
        m_server->writeAdminSecret(next + QStringLiteral("\n")); // a trailing newline is not part of it
        const auto old = await(m_client->status());
        QVERIFY(!old && old.error().is<DaemonClientError::Unauthenticated>());
        m_client->setAdminSecret(next);
        TAVRIN_REQUIRE(await(m_client->status()));
        m_server->writeAdminSecret(std::nullopt);
        QVERIFY(!await(m_client->status()));
    }

    void statusIsTrueOfTheRunningProcess() {
        const auto status = await(m_client->status());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->pid, m_server->pid());
        QCOMPARE(status->stateDirectory, m_server->stateDirectory());
        QCOMPARE(status->bind.bindPort, qint64(m_server->port()));
        QCOMPARE(status->bind.bindHost, QStringLiteral("127.0.0.1"));
        const QDateTime started = QDateTime::fromString(status->startedAt, Qt::ISODate);
        QVERIFY(started.isValid());
        QCOMPARE(started.timeSpec(), Qt::UTC);
        QVERIFY(qAbs(started.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        QVERIFY(status->uptimeSeconds >= 0 && status->uptimeSeconds < 60);
        QVERIFY(!status->serverVersion.isEmpty());
        QCOMPARE(status->updater.current, status->serverVersion);
        QCOMPARE(status->updater.channel, QStringLiteral("stable"));
        QCOMPARE(status->logging, (ClientAuditLoggingSettings{ClientAuditMode::privacy, 30, false}));
        QCOMPARE(status->hardware, probeLocalHardware()); // the same rules on the same machine
        QVERIFY(status->concurrency);
        QCOMPARE(status->concurrency->maxConcurrency, status->hardware.recommendedConcurrency);
        QCOMPARE(status->concurrency->maxQueueDepth, status->hardware.recommendedMaxQueueDepth);
        QVERIFY(!status->model.running && status->model.pinState.previous.empty());
        QVERIFY(status->stages && !status->stages->systemPromptApplied && !status->orgPreamble);

        const auto later = await(m_client->status());
        TAVRIN_REQUIRE(later);
        QVERIFY(later->uptimeSeconds > status->uptimeSeconds);
    }

    void keysAreCreatedListedRotatedRevokedAndDeleted() {
        const auto created = await(m_client->createKey(QStringLiteral("  CI runner  "), std::vector{ClientAPIKeyScope::readonly}));
        TAVRIN_REQUIRE(created);
        QVERIFY(created->key.startsWith(QStringLiteral("tk-")));
        QVERIFY(created->key.size() >= 40);
        QVERIFY(created->key.startsWith(created->record.prefix));
        QVERIFY(created->record.prefix.size() < created->key.size() / 2);
        QCOMPARE(created->record.label, QStringLiteral("  CI runner  "));
        QCOMPARE(created->record.status, QStringLiteral("active"));
        QCOMPARE(created->record.scopes, std::optional(std::vector{ClientAPIKeyScope::readonly}));
        QCOMPARE(created->record.totalRequests, 0);

        const auto plain = await(m_client->createKey(QStringLiteral("First key"), std::nullopt));
        TAVRIN_REQUIRE(plain);
        QVERIFY(!plain->record.scopes);
        QVERIFY(plain->key != created->key && plain->record.id != created->record.id);

        auto keys = await(m_client->listKeys());
        TAVRIN_REQUIRE(keys);
        QCOMPARE(keys->size(), 2u);
        QCOMPARE(keys->at(0), created->record);
        QCOMPARE(keys->at(1), plain->record);

        const auto rotated = await(m_client->rotateKey(created->record.id));
        TAVRIN_REQUIRE(rotated);
        QCOMPARE(rotated->record.id, created->record.id);
        QVERIFY(rotated->key != created->key);
        QVERIFY(rotated->key.startsWith(rotated->record.prefix));
        QVERIFY(rotated->record.lastRotatedAt);

        const auto revoked = await(m_client->revokeKey(created->record.id));
        TAVRIN_REQUIRE(revoked);
        QCOMPARE(revoked->status, QStringLiteral("revoked"));
        QVERIFY(revoked->revokedAt);
        const auto again = await(m_client->revokeKey(created->record.id));
        TAVRIN_REQUIRE(again);
        QCOMPARE(again->revokedAt, revoked->revokedAt);
        const auto rotateRevoked = await(m_client->rotateKey(created->record.id));
        QCOMPARE(httpStatusOf(rotateRevoked), 409);

        TAVRIN_REQUIRE(await(m_client->deleteKey(created->record.id)));
        keys = await(m_client->listKeys());
        TAVRIN_REQUIRE(keys);
        QCOMPARE(keys->size(), 1u);
        QCOMPARE(keys->front().id, plain->record.id);

        const auto gone = await(m_client->deleteKey(created->record.id));
        QCOMPARE(httpStatusOf(gone), 404);
        QVERIFY(httpBodyOf(gone).contains(created->record.id));
    }

    void invalidKeyRequestsAreRefusedWithTheReason_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty label") << QByteArray(R"({"label":""})") << "label must not be empty";
        QTest::newRow("spaces only") << QByteArray(R"({"label":"   "})") << "label must not be empty";
        QTest::newRow("no label") << QByteArray(R"({"scopes":[]})") << "label: missing required key";
        QTest::newRow("unknown scope") << QByteArray(R"({"label":"a","scopes":["admin"]})") << "scopes[0]: unknown value";
        QTest::newRow("not JSON") << QByteArray("label=a") << "not valid JSON";
    }
    void invalidKeyRequestsAreRefusedWithTheReason() {
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        const auto answer = exchange(m_server->port(), HttpCall{"POST", "/admin/keys"}.bearer(m_server->adminSecret()).json(body));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, 400);
        QVERIFY2(answer->body.contains(reason.toUtf8()), answer->body.constData());
        QCOMPARE(answer->body.count('\n'), 1);
        QVERIFY(await(m_client->listKeys())->empty());
    }

    void loggingSettingsAreStoredAndValidated_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("zero days") << QByteArray(R"({"mode":"audit","retentionDays":0,"includePromptContentsInDiagnostics":false})") << "retentionDays";
        QTest::newRow("negative days") << QByteArray(R"({"mode":"audit","retentionDays":-7,"includePromptContentsInDiagnostics":false})") << "retentionDays";
        QTest::newRow("unknown mode") << QByteArray(R"({"mode":"everything","retentionDays":7,"includePromptContentsInDiagnostics":false})") << "mode: unknown value";
        QTest::newRow("mode in capitals") << QByteArray(R"({"mode":"Audit","retentionDays":7,"includePromptContentsInDiagnostics":false})") << "mode: unknown value";
        QTest::newRow("missing switch") << QByteArray(R"({"mode":"audit","retentionDays":7})") << "includePromptContentsInDiagnostics";
    }
    void loggingSettingsAreStoredAndValidated() {
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        const auto refused = exchange(m_server->port(), HttpCall{"PUT", "/admin/settings/logging"}.bearer(m_server->adminSecret()).json(body));
        TAVRIN_REQUIRE(refused);
        QCOMPARE(refused->status, 400);
        QVERIFY2(refused->body.contains(reason.toUtf8()), refused->body.constData());

        const ClientAuditLoggingSettings wanted{ClientAuditMode::hash, 365, true};
        const auto saved = await(m_client->updateLoggingSettings(wanted));
        TAVRIN_REQUIRE(saved);
        QCOMPARE(*saved, wanted);
        QCOMPARE(*await(m_client->loggingSettings()), wanted);
        QCOMPARE(await(m_client->status())->logging, wanted);
    }

    void networkPreferencesAreValidatedAndWaitForARestart_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("host name") << "bindHost" << "localhost" << "bindHost must be an IP address";
        QTest::newRow("empty host") << "bindHost" << "" << "bindHost must be an IP address";
        QTest::newRow("port 0") << "bindPort" << "0" << "bindPort must be between 1 and 65535";
        QTest::newRow("port 65536") << "bindPort" << "65536" << "bindPort must be between 1 and 65535";
        QTest::newRow("allowlist name") << "ipAllowlist" << "office" << "is not an IP address or subnet";
        QTest::newRow("allowlist prefix too long") << "ipAllowlist" << "10.0.0.0/33" << "is not an IP address or subnet";
        QTest::newRow("origin with path") << "corsAllowedOrigins" << "https://app.example.com/x" << "is not an origin";
        QTest::newRow("origin without scheme") << "corsAllowedOrigins" << "app.example.com" << "is not an origin";
    }
    void networkPreferencesAreValidatedAndWaitForARestart() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        ClientNetworkPreferences prefs{QStringLiteral("0.0.0.0"), 11500, true, QStringLiteral("office-box"),
                                       {QStringLiteral("https://app.example.com")},
                                       {QStringLiteral("192.168.1.0/24"), QStringLiteral("10.0.0.7"), QStringLiteral("fd00::/8")}};
        ClientNetworkPreferences bad = prefs;
        if (field == QLatin1StringView("bindHost"))
            bad.bindHost = value;
        else if (field == QLatin1StringView("bindPort"))
            bad.bindPort = value.toLongLong();
        else if (field == QLatin1StringView("ipAllowlist"))
            bad.ipAllowlist.push_back(value);
        else
            bad.corsAllowedOrigins.push_back(value);
        const auto refused = await(m_client->updateNetworkPreferences(bad));
        QCOMPARE(httpStatusOf(refused), 400);
        QVERIFY2(httpBodyOf(refused).contains(reason), qPrintable(httpBodyOf(refused)));

        const auto saved = await(m_client->updateNetworkPreferences(prefs));
        TAVRIN_REQUIRE(saved);
        QCOMPARE(*saved, prefs);
        QCOMPARE(*await(m_client->networkPreferences()), prefs);
        // The binding in effect stays as it was started.
        const auto status = await(m_client->status());
        QCOMPARE(status->bind.bindHost, QStringLiteral("127.0.0.1"));
        QCOMPARE(status->bind.bindPort, qint64(m_server->port()));
    }

    void preambleIsLimitedToTwoThousandCharactersAsPeopleCountThem() {
        // A family emoji is one character to a reader and eleven UTF-16 code units.
        const QString family = QStringLiteral("👨‍👩‍👧‍👦");
        const QString longest = family.repeated(2000);
        const auto saved = await(m_client->setOrgPreamble(longest));
        TAVRIN_REQUIRE(saved);
        QCOMPARE(saved->preamble, std::optional(longest));
        QCOMPARE(saved->maxLength, 2000);
        auto status = await(m_client->status());
        QCOMPARE(status->orgPreamble, std::optional(longest));
        QCOMPARE(status->stages->systemPromptApplied, true);
        QCOMPARE(status->stages->systemPromptChars, std::optional<qint64>(2000));

        const auto tooLong = await(m_client->setOrgPreamble(QStringLiteral("a").repeated(2001)));
        QCOMPARE(httpStatusOf(tooLong), 400);
        QVERIFY(httpBodyOf(tooLong).contains(QStringLiteral("2001")));
        QCOMPARE(await(m_client->orgPreamble())->preamble, std::optional(longest));

        const auto cleared = await(m_client->setOrgPreamble(std::nullopt));
        TAVRIN_REQUIRE(cleared);
        QVERIFY(!cleared->preamble);
        status = await(m_client->status());
        QVERIFY(!status->orgPreamble);
        QVERIFY(!status->stages->systemPromptApplied && !status->stages->systemPromptChars);
    }

    void updaterStatusDescribesThisServer() {
        const auto updater = await(m_client->updaterStatus());
        TAVRIN_REQUIRE(updater);
        QCOMPARE(*updater, await(m_client->status())->updater);
        QVERIFY(!updater->availableUpdate && !updater->stagedDownloadPath);
    }

    void malformedAdminRequestsGetOneLineThatSaysWhy_data() {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown path") << QByteArray("GET") << QByteArray("/admin/nothing") << QByteArray() << 404 << "no admin endpoint at /admin/nothing";
        QTest::newRow("wrong method") << QByteArray("DELETE") << QByteArray("/admin/status") << QByteArray() << 405 << "method DELETE is not allowed";
        QTest::newRow("put on keys") << QByteArray("PUT") << QByteArray("/admin/keys") << QByteArray("{}") << 405 << "allowed: GET, POST";
        QTest::newRow("over 1 MiB") << QByteArray("PUT") << QByteArray("/admin/settings/preamble")
                                    << QByteArray(1024 * 1024 + 1, 'a') << 413 << "larger than 1 MiB";
        QTest::newRow("truncated JSON") << QByteArray("PUT") << QByteArray("/admin/network") << QByteArray(R"({"bindHost":)") << 400 << "not valid JSON";
        QTest::newRow("wrong type") << QByteArray("PUT") << QByteArray("/admin/settings/preamble") << QByteArray(R"({"preamble":7})") << 400 << "preamble: expected string";
    }
    void malformedAdminRequestsGetOneLineThatSaysWhy() {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, reason);
        HttpCall call{method, target};
        call.bearer(m_server->adminSecret());
        if (!body.isEmpty())
            call.json(body);
        const auto answer = exchange(m_server->port(), call);
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, status);
        QVERIFY2(answer->body.contains(reason.toUtf8()), answer->body.constData());
        QCOMPARE(answer->body.count('\n'), 1);
        QVERIFY(answer->header("Content-Type")->startsWith("text/plain"));
    }

    void adminApiRefusesClientsFromOtherMachines() {
        QString lanAddress;
        for (const auto& address : QNetworkInterface::allAddresses())
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                lanAddress = address.toString();
        if (lanAddress.isEmpty())
            QSKIP("this machine has no non-loopback IPv4 address");
        TAVRIN_REQUIRE(m_server->stop());
        TAVRIN_REQUIRE(m_server->start({{QStringLiteral("--host"), QStringLiteral("0.0.0.0")}}));
        HttpCall call{"GET", "/admin/status"};
        call.host = lanAddress; // from this machine's LAN address, as another machine would arrive
        const auto remote = exchange(m_server->port(), call.bearer(m_server->adminSecret()));
        TAVRIN_REQUIRE(remote);
        QCOMPARE(remote->status, 403);
        QVERIFY(remote->body.contains("loopback"));
        QVERIFY(await(m_server->client()->status()).has_value());
    }
};

QTEST_GUILESS_MAIN(AdminContractTest)
#include "AdminContractTest.moc"
