// The admin API of the reference server, driven by the panel's own DaemonClient over real HTTP.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include "protocol/AdminRoute.h"
#include "protocol/HardwareProbe.h"

#include <QDateTime>
#include <QFile>
#include <QNetworkInterface>

using namespace tavrin;
using namespace tavrin::test;

class AdminContractTest : public QObject {
    Q_OBJECT

    // One server for every test: each leaves the password and the settings as it found them.
    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

    std::size_t keyCount() { return await(m_client->listKeys()).value_or(ClientAPIKeyList{}).size(); }
    bool statusRefused() {
        const auto status = await(m_client->status());
        return !status && status.error().is<DaemonClientError::Unauthenticated>();
    }

private Q_SLOTS:
    void initTestCase() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
    }
    void cleanupTestCase() {
        m_client.reset();
        QCOMPARE(m_server->stop().value_or(-1), 0);
    }

    // Every route is behind the one check; a wrong password is tried on a few (wrong ones count
    // towards the throttle, which ServerLifecycleTest tries with guessers of its own).
    void everyAdminRouteRefusesAMissingOrWrongPassword() {
        const std::size_t keys = keyCount();
        const QString suffixed = m_server->adminSecret() + QStringLiteral("x");
        for (const AdminRoute& route : adminRoutes) {
            const bool guessed =
                route.operation == AdminOperation::createKey || route.operation == AdminOperation::setOrgPreamble;
            for (const QString& presented : guessed ? QStringList{QString(), QStringLiteral("wrong"), suffixed} : QStringList{QString()}) {
                HttpCall call{methodName(route.method).data(), route.targetWith(u"key_x").toUtf8()};
                call.json("{}");
                if (!presented.isEmpty())
                    call.bearer(presented);
                QVERIFY2(exchange(m_server->port(), call).value_or(HttpAnswer{}).status == 401, call.target.constData());
            }
        }
        // A refused request changes nothing.
        QCOMPARE(keyCount(), keys);
        QVERIFY(!await(m_client->orgPreamble())->preamble);
    }

    // A web page can point a name of its own at 127.0.0.1 and have the browser call the admin API
    // under it; only this machine's own names are answered, whatever the password.
    void onlyRequestsAddressedToThisMachineAreAnswered() {
        const QByteArray port = QByteArray::number(m_server->port());
        for (const QByteArray& host : QByteArrayList{"127.0.0.1", "127.0.0.1:" + port, "localhost", "LocalHost:" + port, "[::1]:" + port}) {
            HttpCall call{"GET", "/admin/status"};
            QVERIFY2(exchange(m_server->port(), call.bearer(m_server->adminSecret()).header("Host", host))->status == 200, host);
        }
        for (const QByteArray& host : QByteArrayList{"rebound.example", "rebound.example:" + port, "127.0.0.1.rebound.example", "[::1].x", ""}) {
            HttpCall call{"GET", "/admin/status"};
            const auto answer = exchange(m_server->port(), call.bearer(m_server->adminSecret()).header("Host", host));
            QVERIFY2(answer && answer->status == 421 && answer->body.contains("127.0.0.1, localhost or [::1]"), host);
        }
    }

    // Others may not read the password file: the server then takes no password from it, and says why.
    void aPasswordFileOthersCanReadIsRefused() {
        const QString file = m_server->stateDirectory() + QStringLiteral("/admin.secret");
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        QVERIFY(statusRefused());
        QTRY_VERIFY(m_server->standardError().contains("admin.secret is refused: it has mode 0604"));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(await(m_client->status()));
    }

    // The file is read at every request: a new password applies at once, and without one in the
    // file (none, empty, blank) nothing is accepted, whatever is presented.
    void thePasswordFileDecidesAtEveryRequest() {
        const QString next = QStringLiteral("a-brand-new-password-for-the-server");
        m_server->writeAdminSecret(next + QStringLiteral("\n")); // a trailing newline is not part of it
        QVERIFY(statusRefused());
        m_client->setAdminSecret(next);
        QVERIFY(await(m_client->status()));
        for (const auto& file : {std::optional<QString>(), std::optional(QString()), std::optional(QStringLiteral(" \n\t\n"))}) {
            m_server->writeAdminSecret(file);
            for (const auto& presented : {QString(), QStringLiteral(" "), next}) {
                m_client->setAdminSecret(presented);
                QVERIFY(statusRefused());
            }
            QVERIFY(await(m_client->health())); // health needs no password
        }
        m_server->writeAdminSecret(ReferenceServer::defaultAdminSecret());
        m_client = m_server->client();
    }

    void statusIsTrueOfTheRunningProcessAndSavedSettingsWaitForARestart() {
        const auto status = await(m_client->status());
        QVERIFY(status && status->pid == m_server->pid() && status->stateDirectory == m_server->stateDirectory());
        QCOMPARE(status->bind.bindPort, qint64(m_server->port()));
        QVERIFY(QDateTime::fromString(status->startedAt, Qt::ISODate).timeSpec() == Qt::UTC);
        QCOMPARE(status->hardware, probeLocalHardware()); // the same rules on the same machine

        const ClientNetworkPreferences prefs{"0.0.0.0", 11500, true, "office-box", {"https://app.example.com"}, {"fd00::/8"}};
        QCOMPARE(await(m_client->updateNetworkPreferences(prefs)).value_or(ClientNetworkPreferences{}), prefs);
        QCOMPARE(await(m_client->status())->bind, status->bind); // the binding in effect stays as it was started
    }

    // A key's life as a user walks it is tavrinctl's test and the Keys tab's; here what the server
    // promises beside it: the secret's form, a rotation that keeps the key, a revocation said twice
    // that changes nothing, and what can no longer be done.
    void keysAreCreatedRotatedRevokedAndDeleted() {
        const auto created = await(m_client->createKey(QStringLiteral("  CI runner  "), std::vector{ClientAPIKeyScope::readonly}));
        const auto plain = await(m_client->createKey(QStringLiteral("First key"), std::nullopt));
        QVERIFY(created && plain && !plain->record.scopes); // made without scopes: none, not an empty list
        QVERIFY(created->key.startsWith(QStringLiteral("tk-")) && created->key.size() >= 40 && created->key != plain->key);
        QVERIFY(created->key.startsWith(created->record.prefix) && created->record.prefix.size() < created->key.size() / 2);

        const auto rotated = await(m_client->rotateKey(created->record.id));
        TAVRIN_REQUIRE(rotated);
        QCOMPARE(rotated->record.id, created->record.id);
        QVERIFY(rotated->key != created->key && rotated->key.startsWith(rotated->record.prefix) && rotated->record.lastRotatedAt);
        const auto revoked = await(m_client->revokeKey(created->record.id));
        QVERIFY(revoked && revoked->status == QStringLiteral("revoked"));
        QCOMPARE(await(m_client->revokeKey(created->record.id)).value_or(ClientAPIKeyPublic{}).revokedAt, revoked->revokedAt);
        QCOMPARE(httpStatusOf(await(m_client->rotateKey(created->record.id))), 409);

        TAVRIN_REQUIRE(await(m_client->deleteKey(created->record.id)));
        const auto gone = await(m_client->deleteKey(created->record.id));
        QVERIFY(httpStatusOf(gone) == 404 && httpBodyOf(gone).contains(created->record.id));
    }

    // A poll of an unchanged record costs no body: the tag of the last answer brings 304. Any change
    // brings a new tag; a request without the question is answered in full.
    void anUnchangedRecordIsAnswered304ToItsTag() {
        const auto get = [&](const QByteArray& path, const QByteArray& ifNoneMatch = {}) {
            HttpCall call{"GET", path};
            call.bearer(m_server->adminSecret());
            if (!ifNoneMatch.isEmpty())
                call.header("If-None-Match", ifNoneMatch);
            return exchange(m_server->port(), call).value_or(HttpAnswer{});
        };
        const HttpAnswer first = get("/admin/keys");
        const QByteArray tag = first.header("ETag").value_or(QByteArray());
        QVERIFY(first.status == 200 && tag.startsWith('"') && tag.endsWith('"') && !first.body.isEmpty());
        for (const QByteArray& asked : {tag, "\"other\", " + tag, "W/" + tag, QByteArray("*")}) {
            const HttpAnswer again = get("/admin/keys", asked);
            QVERIFY2(again.status == 304 && again.body.isEmpty() && again.header("ETag") == tag, asked.constData());
        }
        QCOMPARE(get("/admin/keys", "\"other\"").status, 200);
        QCOMPARE(get("/admin/network", tag).status, 200); // the tag of another record

        TAVRIN_REQUIRE(await(m_client->createKey(QStringLiteral("Tagged"), std::nullopt)));
        const HttpAnswer changed = get("/admin/keys", tag);
        QVERIFY(changed.status == 200 && changed.header("ETag") != tag && changed.body.contains("Tagged"));
    }

    void preambleIsLimitedToTwoThousandCharactersAsPeopleCountThem() {
        // A family emoji is one character to a reader and eleven UTF-16 code units.
        const QString longest = QStringLiteral("👨‍👩‍👧‍👦").repeated(2000);
        const auto saved = await(m_client->setOrgPreamble(longest));
        QVERIFY(saved && saved->preamble == std::optional(longest) && saved->maxLength == 2000);
        auto status = await(m_client->status());
        QCOMPARE(status->orgPreamble, std::optional(longest));
        QVERIFY(status->stages->systemPromptApplied && status->stages->systemPromptChars == std::optional<qint64>(2000));

        const auto tooLong = await(m_client->setOrgPreamble(QStringLiteral("a").repeated(2001)));
        QVERIFY(httpStatusOf(tooLong) == 400 && httpBodyOf(tooLong).contains(QStringLiteral("2001")));
        QCOMPARE(await(m_client->orgPreamble())->preamble, std::optional(longest));

        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(std::nullopt)));
        status = await(m_client->status());
        QVERIFY(!status->orgPreamble && !status->stages->systemPromptApplied && !status->stages->systemPromptChars);
    }

    // How each kind of refusal reaches the panel: one plain line that says why, and nothing stored.
    // What the decoder says is its own test's; network preferences that could not be applied are
    // tried here, where the Network tab meets them.
    void malformedAdminRequestsGetOneLineThatSaysWhy() {
        const std::size_t keys = keyCount();
        // Plain literals, not raw ones: moc misreads braces and "//" inside raw strings.
        const auto network = [](const char* host, int port, const char* origins, const char* allowlist) {
            return "{\"bindHost\":\"" + QByteArray(host) + "\",\"bindPort\":" + QByteArray::number(port) +
                   ",\"lanEnabled\":false,\"corsAllowedOrigins\":" + origins + ",\"ipAllowlist\":" + allowlist + "}";
        };
        const std::tuple<QByteArray, QByteArray, QByteArray, int, const char*> cases[] = {
            {"GET", "/admin/nothing", {}, 404, "no admin endpoint at /admin/nothing"},
            {"GET", "/admin/keys/key_x/undo", {}, 404, "no admin endpoint at /admin/keys/key_x/undo"},
            {"PUT", "/admin/keys", "{}", 405, "method PUT is not allowed on /admin/keys (allowed: GET, POST)"},
            {"GET", "/admin/keys/key_x/revoke", {}, 405, "allowed: POST"},
            {"PUT", "/admin/settings/preamble", QByteArray(1024 * 1024 + 1, 'a'), 413, "larger than 1 MiB"},
            {"PUT", "/admin/network", R"({"bindHost":)", 400, "not valid JSON"},
            {"POST", "/admin/keys", R"({"label":"   "})", 400, "label must not be empty"},
            {"POST", "/admin/keys", R"({"label":"a","scopes":["admin"]})", 400, "scopes[0]: unknown value"},
            {"PUT", "/admin/settings/logging", R"({"mode":"audit","retentionDays":0,"includePromptContentsInDiagnostics":false})",
             400, "retentionDays"},
            {"PUT", "/admin/settings/logging", R"({"mode":"audit","retentionDays":7})", 400, "includePromptContentsInDiagnostics"},
            {"PUT", "/admin/network", network("localhost", 11434, "[]", "[]"), 400, "bindHost must be an IP address"},
            {"PUT", "/admin/network", network("::", 65536, "[]", "[]"), 400, "bindPort must be between 1 and 65535"},
            {"PUT", "/admin/network", network("::", 0, "[]", "[]"), 400, "bindPort must be between 1 and 65535"},
            {"PUT", "/admin/network", network("::", 1, "[]", "[\"10.0.0.0/33\"]"), 400, "is not an IP address or subnet"},
            {"PUT", "/admin/network", network("::", 1, "[\"https://app.example.com/x\"]", "[]"), 400, "is not an origin"},
            {"PUT", "/admin/network", network("::", 1, "[\"app.example.com\"]", "[]"), 400, "is not an origin"}};
        for (const auto& [method, target, body, status, reason] : cases) {
            HttpCall call{method, target};
            if (!body.isEmpty())
                call.json(body);
            const auto answer = exchange(m_server->port(), call.bearer(m_server->adminSecret()));
            TAVRIN_REQUIRE(answer);
            QVERIFY2(answer->status == status && answer->body.contains(reason), answer->body.constData());
            if (status == 405) // the header says what the line says
                QVERIFY(answer->body.contains("allowed: " + answer->header("Allow").value_or("?") + ")"));
            QVERIFY(answer->body.count('\n') == 1 && answer->header("Content-Type")->startsWith("text/plain"));
        }
        QCOMPARE(keyCount(), keys);
    }

    void adminApiRefusesClientsFromOtherMachines() {
        QString lanAddress;
        for (const auto& address : QNetworkInterface::allAddresses())
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                lanAddress = address.toString();
        if (lanAddress.isEmpty())
            QSKIP("this machine has no non-loopback IPv4 address");
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start({{QStringLiteral("--host"), QStringLiteral("0.0.0.0")}}));
        HttpCall call{"GET", "/admin/status"};
        call.host = lanAddress; // from this machine's LAN address, as another machine would arrive
        const auto remote = exchange(server.port(), call.bearer(server.adminSecret()));
        QVERIFY(remote && remote->status == 403 && remote->body.contains("loopback"));
        QVERIFY(await(server.client()->status()).has_value());
    }
};

QTEST_GUILESS_MAIN(AdminContractTest)
#include "AdminContractTest.moc"
