// Signed updates as the Updates tab meets them: a feed and packages served over loopback HTTP,
// checked, downloaded and verified against a key pair made for this run, and every way a
// download can be wrong refused without anything left staged.

#include "ServerTesting.h"
#include "support/ScriptedHttpServer.h"

#include "server/Updater.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

struct KeyPair {
    QByteArray publicKey = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey = QByteArray(crypto_sign_SECRETKEYBYTES, '\0');
    KeyPair() {
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()), reinterpret_cast<unsigned char*>(secretKey.data()));
    }
    QString sign(const QByteArray& message) const {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(message.constData()), quint64(message.size()),
                             reinterpret_cast<const unsigned char*>(secretKey.constData()));
        return QString::fromLatin1(signature.toBase64());
    }
};

QString hexSha256(const QByteArray& bytes) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.constData()), quint64(bytes.size()));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

QByteArray package(int size = 300'000) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + 7) % 251);
    return bytes;
}

} // namespace

class UpdaterContractTest : public QObject {
    Q_OBJECT

    KeyPair m_keys;
    ScriptedHttpServer m_web;
    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;
    QString m_feed;

    ReferenceServerOptions options(const QString& feed) const {
        ReferenceServerOptions o({QStringLiteral("--update-public-key"), QString::fromLatin1(m_keys.publicKey.toHex())},
                                 {QStringLiteral("TAVRIN_UPDATE_FEED=") + feed});
        o.executable = ReferenceServer::testKeysExecutablePath();
        return o;
    }
    QString url(const char* path) const { return m_web.baseUrl().toString() + QLatin1StringView(path); }
    bool start(const QString& feed) {
        m_feed = feed;
        auto started = m_server->start(options(feed));
        if (!started)
            qWarning("%s", qPrintable(started.error()));
        m_client = m_server->client();
        return bool(started);
    }
    bool restart() {
        if (!m_server->stop())
            return false;
        return start(m_feed);
    }

    ClientAppcastRelease release(const QString& version, const QByteArray& bytes, const char* path) const {
        ClientAppcastRelease r;
        r.version = version;
        r.publishedAt = QStringLiteral("2026-12-01T09:00:00Z");
        r.pkgURL = url(path);
        r.pkgSha256 = hexSha256(bytes);
        r.pkgSize = bytes.size();
        r.releaseNotes = QStringLiteral("Faster \"exports\", fewer surprises.");
        r.signature = m_keys.sign(bytes);
        return r;
    }
    void publish(std::vector<ClientAppcastRelease> releases, std::optional<QString> channel = QStringLiteral("stable")) {
        m_web.route("/feed.json", ScriptedResponse::json(200, encodeJson(UpdateFeed{std::move(channel), std::move(releases)})));
    }
    QStringList updatesFolder() const {
        return QDir(m_server->stateDirectory() + QStringLiteral("/updates")).entryList(QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(sodium_init() >= 0); }
    void init() {
        m_web.clearRequests();
        m_server = std::make_unique<ReferenceServer>();
    }
    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    void withoutAFeedTheCheckSaysSoAndNothingCanBeDownloaded() {
        QVERIFY(start(QString()));
        const auto checked = await(m_client->checkForUpdates());
        TAVRIN_REQUIRE(checked);
        QVERIFY(checked->error && checked->error->contains(QStringLiteral("no update feed is configured")));
        QVERIFY(!checked->status.enabled && !checked->status.lastCheckedAt);
        QCOMPARE(checked->status.lastError, checked->error);
        QCOMPARE(httpStatusOf(await(m_client->downloadUpdate())), 409);
    }

    void theCheckKeepsTheNewestReleaseThisServerMayInstall() {
        const QByteArray bytes = package();
        QVERIFY(start(url("/feed.json")));
        const QString current = await(m_client->status())->serverVersion;
        QCOMPARE(current, QStringLiteral("0.1.0"));
        ClientAppcastRelease tooNew = release(QStringLiteral("0.3.0"), bytes, "/pkg");
        tooNew.minimumServerVersion = QStringLiteral("0.2.0");
        publish({release(QStringLiteral("0.0.9"), bytes, "/pkg"), release(QStringLiteral("0.2.5"), bytes, "/pkg"), tooNew,
                 release(QStringLiteral("0.2.0"), bytes, "/pkg"), release(QStringLiteral("0.1.0"), bytes, "/pkg")});

        const auto checked = await(m_client->checkForUpdates());
        TAVRIN_REQUIRE(checked);
        QVERIFY2(!checked->error, qPrintable(checked->error.value_or(QString())));
        QVERIFY(checked->status.enabled && checked->status.lastCheckedAt && !checked->status.lastError);
        QCOMPARE(checked->status.channel, QStringLiteral("stable"));
        QVERIFY(checked->status.availableUpdate);
        QCOMPARE(checked->status.availableUpdate->version, QStringLiteral("0.2.5"));
        QCOMPARE(checked->status.availableUpdate->releaseNotes, std::optional(QStringLiteral("Faster \"exports\", fewer surprises.")));

        // Nothing newer: the check says so and forgets the release it had found.
        publish({release(QStringLiteral("0.1.0"), bytes, "/pkg")});
        const auto again = await(m_client->checkForUpdates());
        TAVRIN_REQUIRE(again);
        QVERIFY(!again->error && !again->status.availableUpdate);
    }

    void feedFailuresAreReportedInTheAnswerAndRemembered_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unreachable") << 0 << "cannot fetch";
        QTest::newRow("server error") << 1 << "answered HTTP 500";
        QTest::newRow("not JSON") << 2 << "is not valid";
        QTest::newRow("release without signature") << 3 << "signature: missing required key";
        QTest::newRow("another channel") << 4 << "is for the \"beta\" channel";
    }
    void feedFailuresAreReportedInTheAnswerAndRemembered() {
        QFETCH(int, failure);
        QFETCH(QString, reason);
        const QByteArray bytes = package(1000);
        QString feed = url("/feed.json");
        switch (failure) {
        case 0: {
            // A port that was just free: nothing listens there.
            ScriptedHttpServer gone;
            feed = gone.baseUrl().toString() + QStringLiteral("/feed.json");
            break;
        }
        case 1: m_web.route("/feed.json", ScriptedResponse::text(500, "boom")); break;
        case 2: m_web.route("/feed.json", ScriptedResponse::json(200, "<html>")); break;
        case 3: m_web.route("/feed.json", ScriptedResponse::json(200, R"({"releases":[{"version":"0.2.0","publishedAt":"x","pkgURL":"x","pkgSha256":"x"}]})")); break;
        case 4: publish({release(QStringLiteral("0.2.0"), bytes, "/pkg")}, QStringLiteral("beta")); break;
        }
        QVERIFY(start(feed));
        const auto checked = await(m_client->checkForUpdates());
        TAVRIN_REQUIRE(checked);
        QVERIFY2(checked->error && checked->error->contains(reason), qPrintable(checked->error.value_or(QString())));
        QCOMPARE(checked->status.lastError, checked->error);
        QVERIFY(!checked->status.availableUpdate && !checked->status.lastCheckedAt);

        QVERIFY(restart());
        QCOMPARE(await(m_client->updaterStatus())->lastError, checked->error);
    }

    void aVerifiedDownloadIsStagedPrivatelyAndSurvivesARestartUntilCleared() {
        const QByteArray bytes = package();
        m_web.route("/pkg/tavrin-server-0.2.0.pkg", ScriptedResponse::bytes(200, bytes));
        publish({release(QStringLiteral("0.2.0"), bytes, "/pkg/tavrin-server-0.2.0.pkg")});
        QVERIFY(start(url("/feed.json")));
        TAVRIN_REQUIRE(await(m_client->checkForUpdates()));

        const auto downloaded = await(m_client->downloadUpdate());
        TAVRIN_REQUIRE(downloaded);
        QVERIFY(downloaded->verified);
        QCOMPARE(downloaded->version, QStringLiteral("0.2.0"));
        QCOMPARE(downloaded->pkgSha256, hexSha256(bytes));
        const QString path = downloaded->stagedDownloadPath;
        QVERIFY(path.startsWith(m_server->stateDirectory() + QLatin1Char('/')));
        QFile staged(path);
        QVERIFY(staged.open(QIODevice::ReadOnly));
        QCOMPARE(staged.readAll(), bytes);
        QCOMPARE(staged.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QVERIFY(restart());
        const auto status = await(m_client->updaterStatus());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->stagedDownloadPath, std::optional(path));
        QCOMPARE(status->availableUpdate->version, QStringLiteral("0.2.0"));

        const auto cleared = await(m_client->clearStagedUpdate());
        TAVRIN_REQUIRE(cleared);
        QVERIFY(!(*cleared)->stagedDownloadPath);
        QVERIFY(!QFile::exists(path));
        QVERIFY(!await(m_client->updaterStatus())->stagedDownloadPath);
        QVERIFY(updatesFolder().isEmpty());
    }

    void aStagedPackageIsDroppedWhenItNoLongerVerifiesOrIsNoLongerOffered_data() {
        QTest::addColumn<bool>("changedOnDisk");
        QTest::newRow("changed on disk, then a restart") << true;
        QTest::newRow("the feed offers another release") << false;
    }
    void aStagedPackageIsDroppedWhenItNoLongerVerifiesOrIsNoLongerOffered() {
        QFETCH(bool, changedOnDisk);
        const QByteArray bytes = package();
        m_web.route("/pkg", ScriptedResponse::bytes(200, bytes));
        publish({release(QStringLiteral("0.2.0"), bytes, "/pkg")});
        QVERIFY(start(url("/feed.json")));
        TAVRIN_REQUIRE(await(m_client->checkForUpdates()));
        const auto downloaded = await(m_client->downloadUpdate());
        TAVRIN_REQUIRE(downloaded);

        if (changedOnDisk) {
            QFile staged(downloaded->stagedDownloadPath);
            QVERIFY(staged.open(QIODevice::ReadWrite));
            staged.seek(10);
            staged.write("x");
            staged.close();
            QVERIFY(restart());
        } else {
            publish({release(QStringLiteral("0.2.1"), bytes + "!", "/pkg")});
            TAVRIN_REQUIRE(await(m_client->checkForUpdates()));
        }
        const auto status = await(m_client->updaterStatus());
        TAVRIN_REQUIRE(status);
        QVERIFY(!status->stagedDownloadPath);
        QVERIFY(!QFile::exists(downloaded->stagedDownloadPath));
    }

    void aDownloadThatDoesNotVerifyIsDeletedAndNeverStaged_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("tampered package") << 0 << 422 << "has SHA-256";
        QTest::newRow("wrong digest in the feed") << 1 << 422 << "has SHA-256";
        QTest::newRow("signed by another key") << 2 << 422 << "valid signature";
        QTest::newRow("tampered, digest updated") << 3 << 422 << "valid signature";
        QTest::newRow("truncated download") << 4 << 502 << "download of 0.2.0 failed";
        QTest::newRow("truncated, no size in the feed") << 5 << 502 << "download of 0.2.0 failed";
        QTest::newRow("longer than announced") << 6 << 502 << "larger than";
        QTest::newRow("package missing") << 7 << 502 << "answered HTTP 404";
        QTest::newRow("malformed signature") << 8 << 422 << "malformed signature";
    }
    void aDownloadThatDoesNotVerifyIsDeletedAndNeverStaged() {
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const QByteArray bytes = package();
        ClientAppcastRelease r = release(QStringLiteral("0.2.0"), bytes, "/pkg");
        QByteArray served = bytes;
        QByteArray tampered = bytes;
        tampered[1000] = char(tampered[1000] ^ 1);
        switch (fault) {
        case 0: served = tampered; break;
        case 1: r.pkgSha256 = hexSha256(tampered); break;
        case 2: r.signature = KeyPair().sign(bytes); break;
        case 3: served = tampered; r.pkgSha256 = hexSha256(tampered); break;
        case 5: r.pkgSize.reset(); break;
        case 6: served = bytes + "more"; break;
        case 8: r.signature = QStringLiteral("c2lnbmF0dXJl"); break;
        default: break;
        }
        if (fault == 4 || fault == 5)
            m_web.route("/pkg", ScriptedResponse::closeMidBody(200, bytes.left(bytes.size() / 2)));
        else if (fault != 7)
            m_web.route("/pkg", ScriptedResponse::bytes(200, served));
        else
            m_web.route("/pkg", ScriptedResponse::text(404, "gone"));
        publish({r});
        QVERIFY(start(url("/feed.json")));
        TAVRIN_REQUIRE(await(m_client->checkForUpdates()));

        const auto downloaded = await(m_client->downloadUpdate());
        QCOMPARE(httpStatusOf(downloaded), status);
        QVERIFY2(httpBodyOf(downloaded).contains(reason), qPrintable(httpBodyOf(downloaded)));
        QVERIFY2(updatesFolder().isEmpty(), qPrintable(updatesFolder().join(u' ')));
        const auto after = await(m_client->updaterStatus());
        TAVRIN_REQUIRE(after);
        QVERIFY(!after->stagedDownloadPath);
        QCOMPARE(after->lastError, std::optional(httpBodyOf(downloaded).trimmed()));
    }

    void feedAndPackageMayBeLocalFiles() {
        QTemporaryDir published;
        const QByteArray bytes = package(5000);
        QFile pkg(published.filePath(QStringLiteral("tavrin-server-0.4.0.pkg")));
        QVERIFY(pkg.open(QIODevice::WriteOnly));
        pkg.write(bytes);
        pkg.close();
        ClientAppcastRelease r = release(QStringLiteral("0.4.0"), bytes, "/unused");
        r.pkgURL = QUrl::fromLocalFile(pkg.fileName()).toString();
        QFile feed(published.filePath(QStringLiteral("feed.json")));
        QVERIFY(feed.open(QIODevice::WriteOnly));
        feed.write(encodeJson(UpdateFeed{std::nullopt, {r}}));
        feed.close();

        QVERIFY(start(QUrl::fromLocalFile(feed.fileName()).toString()));
        const auto checked = await(m_client->checkForUpdates());
        TAVRIN_REQUIRE(checked);
        QVERIFY2(!checked->error, qPrintable(checked->error.value_or(QString())));
        const auto downloaded = await(m_client->downloadUpdate());
        TAVRIN_REQUIRE(downloaded);
        QVERIFY(downloaded->verified && QFile::exists(downloaded->stagedDownloadPath));
    }
};

QTEST_GUILESS_MAIN(UpdaterContractTest)
#include "UpdaterContractTest.moc"
