// The admin API of the reference server, driven by the panel's own DaemonClient over real HTTP.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include "protocol/HardwareProbe.h"

#include <QDateTime>
#include <QNetworkInterface>


using namespace tavrin;
using namespace tavrin::test;


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

    void everyAdminPathRefusesAMissingOrWrongPassword() {
        const QString suffixed = m_server->adminSecret() + QStringLiteral("x");
        for (const QByteArray route : {"GET status", "GET keys", "POST keys", "POST keys/key_x/revoke", "POST keys/key_x/rotate",
                                       "DELETE keys/key_x", "GET settings/logging", "PUT settings/logging",
                                       "GET audit/export?format=csv", "GET network", "PUT network", "GET settings/preamble",
                                       "PUT settings/preamble", "GET updates", "POST updates/check", "POST updates/download",
                                       "POST updates/clear", "POST model/promote", "POST model/rollback", "POST diagnostics"})
            for (const QString& presented : {QString(), QStringLiteral("wrong"), suffixed}) {
                HttpCall call{route.left(route.indexOf(' ')), "/admin/" + route.mid(route.indexOf(' ') + 1)};
                call.json("{}");
                if (!presented.isEmpty())
                    call.bearer(presented);
                const auto answer = exchange(m_server->port(), call);
                TAVRIN_REQUIRE(answer);
                QVERIFY2(answer->status == 401, route.constData());
            }
        // A refused request changes nothing.
        QVERIFY(await(m_client->listKeys())->empty());
        QVERIFY(!await(m_client->orgPreamble())->preamble);
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

    void statusIsTrueOfTheRunningProcessAndSavedSettingsWaitForARestart() {
        const auto status = await(m_client->status());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->pid, m_server->pid());
        QCOMPARE(status->stateDirectory, m_server->stateDirectory());
        QCOMPARE(status->bind.bindPort, qint64(m_server->port()));
        const QDateTime started = QDateTime::fromString(status->startedAt, Qt::ISODate);
        QVERIFY(started.isValid() && started.timeSpec() == Qt::UTC);
        QVERIFY(qAbs(started.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        QCOMPARE(status->hardware, probeLocalHardware()); // the same rules on the same machine
        QCOMPARE(status->concurrency->maxConcurrency, status->hardware.recommendedConcurrency);
        QCOMPARE(*await(m_client->updaterStatus()), status->updater);

        const ClientNetworkPreferences prefs{QStringLiteral("0.0.0.0"), 11500, true, QStringLiteral("office-box"),
                                             {QStringLiteral("https://app.example.com")}, {QStringLiteral("fd00::/8")}};
        QCOMPARE(await(m_client->updateNetworkPreferences(prefs)).value_or(ClientNetworkPreferences{}), prefs);
        QCOMPARE(*await(m_client->networkPreferences()), prefs);
        const auto later = await(m_client->status());
        TAVRIN_REQUIRE(later);
        QVERIFY(later->uptimeSeconds > status->uptimeSeconds);
        QCOMPARE(later->bind, status->bind); // the binding in effect stays as it was started
    }

    void keysAreCreatedListedRotatedRevokedAndDeleted() {
        const auto created = await(m_client->createKey(QStringLiteral("  CI runner  "), std::vector{ClientAPIKeyScope::readonly}));
        TAVRIN_REQUIRE(created);
        QVERIFY(created->key.startsWith(QStringLiteral("tk-")) && created->key.size() >= 40);
        QVERIFY(created->key.startsWith(created->record.prefix) && created->record.prefix.size() < created->key.size() / 2);
        QCOMPARE(created->record.label, QStringLiteral("  CI runner  "));
        QCOMPARE(created->record.scopes, std::optional(std::vector{ClientAPIKeyScope::readonly}));

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
        const auto row = [](const char* name, const char* target, const char* body, const char* reason) {
            QTest::newRow(name) << QByteArray(QByteArray(target).endsWith("keys") ? "POST" : "PUT")
                                << QByteArray(target) << QByteArray(body) << 400 << QString::fromUtf8(reason);
        };
        row("empty label", "/admin/keys", R"({"label":""})", "label must not be empty");
        row("label of spaces", "/admin/keys", R"({"label":"   "})", "label must not be empty");
        row("no label", "/admin/keys", R"({"scopes":[]})", "label: missing required key");
        row("unknown scope", "/admin/keys", R"({"label":"a","scopes":["admin"]})", "scopes[0]: unknown value");
        row("zero days", "/admin/settings/logging", R"({"mode":"audit","retentionDays":0,"includePromptContentsInDiagnostics":false})", "retentionDays");
        row("mode in capitals", "/admin/settings/logging", R"({"mode":"Audit","retentionDays":7,"includePromptContentsInDiagnostics":false})", "mode: unknown value");
        row("no master switch", "/admin/settings/logging", R"({"mode":"audit","retentionDays":7})", "includePromptContentsInDiagnostics");
        row("host name", "/admin/network", R"({"bindHost":"localhost","bindPort":11434,"lanEnabled":false,"corsAllowedOrigins":[],"ipAllowlist":[]})", "bindHost must be an IP address");
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
        QVERIFY(await(m_client->listKeys())->empty()); // and nothing was stored
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
