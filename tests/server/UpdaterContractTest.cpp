// Signed updates: a feed and packages served over loopback HTTP, checked, downloaded and verified
// against a key pair made for this run. Every way a check or a download can go wrong is tried on
// the updater itself; one update goes the whole way through the real server, as the Updates tab
// drives it.

#include "ServerTesting.h"
#include "support/ScriptedHttpServer.h"

#include "server/Updater.h"

#include <QDir>
#include <QFile>

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
    std::unique_ptr<QTemporaryDir> m_state;
    std::unique_ptr<Updater> m_updater;

    QString url(const char* path) const { return m_web.baseUrl().toString() + QLatin1StringView(path); }
    ClientAppcastRelease release(const QString& version, const QByteArray& bytes, const char* path = "/pkg") const {
        return {version, QStringLiteral("2026-12-01T09:00:00Z"), std::nullopt, url(path), hexSha256(bytes), bytes.size(),
                std::nullopt, QStringLiteral("Faster \"exports\", fewer surprises."), m_keys.sign(bytes)};
    }
    void publish(std::vector<ClientAppcastRelease> releases, std::optional<QString> channel = QStringLiteral("stable")) {
        m_web.route("/feed.json", ScriptedResponse::json(200, encodeJson(UpdateFeed{std::move(channel), std::move(releases)})));
    }
    // The updater as a server of version 0.1.0 with this run's key opens it, at every (re)start.
    bool open(const QString& feed) {
        auto opened = Updater::open(*StateStore::open(m_state->path()), feed, m_keys.publicKey, QStringLiteral("0.1.0"));
        m_updater = opened ? std::move(*opened) : nullptr;
        return bool(m_updater);
    }
    QStringList updatesFolder() const { return QDir(m_state->filePath(QStringLiteral("updates"))).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(sodium_init() >= 0); }
    void init() {
        m_web.clearRequests();
        m_state = std::make_unique<QTemporaryDir>();
    }

    void theCheckKeepsTheNewestReleaseThisServerMayInstall() {
        const QByteArray bytes = package(1000);
        ClientAppcastRelease tooNew = release(QStringLiteral("0.3.0"), bytes);
        tooNew.minimumServerVersion = QStringLiteral("0.2.0");
        publish({release(QStringLiteral("0.0.9"), bytes), release(QStringLiteral("0.2.5"), bytes), tooNew,
                 release(QStringLiteral("0.2.0"), bytes), release(QStringLiteral("0.1.0"), bytes)});
        QVERIFY(open(url("/feed.json")));
        const ClientUpdateCheckResponse checked = m_updater->check();
        QVERIFY2(!checked.error, qPrintable(checked.error.value_or(QString())));
        QVERIFY(checked.status.enabled && checked.status.lastCheckedAt && !checked.status.lastError);
        QCOMPARE(checked.status.availableUpdate, std::optional(release(QStringLiteral("0.2.5"), bytes)));

        // Nothing newer: the check says so and forgets the release it had found.
        publish({release(QStringLiteral("0.1.0"), bytes)});
        const ClientUpdateCheckResponse again = m_updater->check();
        QVERIFY(!again.error && !again.status.availableUpdate);
    }

    void aFailedCheckIsReportedRememberedAndLeavesNothingToDownload_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no feed configured") << 0 << "no update feed is configured";
        QTest::newRow("unreachable") << 1 << "cannot fetch";
        QTest::newRow("server error") << 2 << "answered HTTP 500";
        QTest::newRow("not JSON") << 3 << "is not valid";
        QTest::newRow("release without signature") << 4 << "signature: missing required key";
        QTest::newRow("another channel") << 5 << "is for the \"beta\" channel";
    }
    void aFailedCheckIsReportedRememberedAndLeavesNothingToDownload() {
        QFETCH(int, failure);
        QFETCH(QString, reason);
        QString feed = url("/feed.json");
        switch (failure) {
        case 0: feed.clear(); break;
        case 1: feed = ScriptedHttpServer().baseUrl().toString() + QStringLiteral("/feed.json"); break; // nothing listens now
        case 2: m_web.route("/feed.json", ScriptedResponse::text(500, "boom")); break;
        case 3: m_web.route("/feed.json", ScriptedResponse::json(200, "<html>")); break;
        case 4: m_web.route("/feed.json", ScriptedResponse::json(200, R"({"releases":[{"version":"0.2.0","publishedAt":"x","pkgURL":"x","pkgSha256":"x"}]})")); break;
        case 5: publish({release(QStringLiteral("0.2.0"), package(1000))}, QStringLiteral("beta")); break;
        }
        QVERIFY(open(feed));
        const ClientUpdateCheckResponse checked = m_updater->check();
        QVERIFY2(checked.error && checked.error->contains(reason), qPrintable(checked.error.value_or(QString())));
        QCOMPARE(checked.status.lastError, checked.error);
        QVERIFY(!checked.status.availableUpdate && !checked.status.lastCheckedAt);
        QCOMPARE(m_updater->download().error().status, 409);
        QVERIFY(open(feed));
        QCOMPARE(m_updater->status().lastError, checked.error);
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
        ClientAppcastRelease r = release(QStringLiteral("0.2.0"), bytes);
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
        else
            m_web.route("/pkg", fault == 7 ? ScriptedResponse::text(404, "gone") : ScriptedResponse::bytes(200, served));
        publish({r});
        QVERIFY(open(url("/feed.json")));
        QVERIFY(!m_updater->check().error);

        const auto downloaded = m_updater->download();
        QVERIFY(!downloaded);
        QCOMPARE(downloaded.error().status, status);
        QVERIFY2(downloaded.error().text.contains(reason), qPrintable(downloaded.error().text));
        QVERIFY2(updatesFolder().isEmpty(), qPrintable(updatesFolder().join(u' ')));
        QVERIFY(!m_updater->status().stagedDownloadPath);
        QCOMPARE(m_updater->status().lastError, std::optional(downloaded.error().text));
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
        publish({release(QStringLiteral("0.2.0"), bytes)});
        QVERIFY(open(url("/feed.json")));
        QVERIFY(!m_updater->check().error);
        const auto downloaded = m_updater->download();
        QVERIFY(downloaded);
        if (changedOnDisk) {
            QFile staged(downloaded->stagedDownloadPath);
            QVERIFY(staged.open(QIODevice::ReadWrite) && staged.seek(10) && staged.write("x") == 1);
            staged.close();
            QVERIFY(open(url("/feed.json")));
        } else {
            publish({release(QStringLiteral("0.2.1"), bytes + "!")});
            QVERIFY(!m_updater->check().error);
        }
        QVERIFY(!m_updater->status().stagedDownloadPath);
        QVERIFY(!QFile::exists(downloaded->stagedDownloadPath));
    }

    void anUpdateIsCheckedDownloadedAndClearedThroughTheServer() {
        const QByteArray bytes = package();
        m_web.route("/pkg", ScriptedResponse::bytes(200, bytes));
        publish({release(QStringLiteral("0.2.0"), bytes)});
        ReferenceServer server;
        ReferenceServerOptions options({QStringLiteral("--update-public-key"), QString::fromLatin1(m_keys.publicKey.toHex())},
                                       {QStringLiteral("TAVRIN_UPDATE_FEED=") + url("/feed.json")});
        options.executable = ReferenceServer::testKeysExecutablePath();
        TAVRIN_REQUIRE(server.start(options));
        TAVRIN_REQUIRE(await(server.client()->checkForUpdates()));
        const auto downloaded = await(server.client()->downloadUpdate());
        TAVRIN_REQUIRE(downloaded);
        QVERIFY(downloaded->verified);
        const QString path = downloaded->stagedDownloadPath;
        QVERIFY(path.startsWith(server.stateDirectory() + QLatin1Char('/')));
        QFile staged(path);
        QVERIFY(staged.open(QIODevice::ReadOnly));
        QCOMPARE(staged.readAll(), bytes);
        QCOMPARE(staged.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        TAVRIN_REQUIRE(server.restart());
        QCOMPARE(await(server.client()->updaterStatus())->stagedDownloadPath, std::optional(path));
        const auto cleared = await(server.client()->clearStagedUpdate());
        TAVRIN_REQUIRE(cleared);
        QVERIFY(!(*cleared)->stagedDownloadPath && !QFile::exists(path));

        // A refusal reaches the panel with its status and its reason.
        m_web.route("/pkg", ScriptedResponse::bytes(200, bytes + "more"));
        const auto refused = await(server.client()->downloadUpdate());
        QCOMPARE(httpStatusOf(refused), 502);
        QVERIFY(httpBodyOf(refused).contains(QStringLiteral("larger than")));
    }
};

QTEST_GUILESS_MAIN(UpdaterContractTest)
#include "UpdaterContractTest.moc"
