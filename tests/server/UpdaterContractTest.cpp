// Signed updates: a feed and packages served over loopback HTTP, checked, downloaded and verified
// against a key pair made for this run. Every way a check or a download can go wrong is tried on
// the updater itself; one update goes the whole way through the real server, as the Updates tab
// drives it.

#include "ServerTesting.h"
#include "support/DebPackages.h"
#include "support/ScriptedHttpServer.h"

#include "server/updates/Updater.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <functional>

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
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// The bytes of a real package of the panel (or of `name`) at `version`.
QByteArray package(const QString& version = QStringLiteral("0.2.0"), const QString& name = QStringLiteral("tavrin-keldmarch")) {
    QTemporaryDir folder;
    return fileBytes(buildDebPackage(folder.path(), name, version));
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
        const QByteArray bytes = package();
        ClientAppcastRelease tooNew = release(QStringLiteral("0.3.0"), bytes);
        tooNew.minimumServerVersion = QStringLiteral("0.2.0");
        publish({release(QStringLiteral("0.0.9"), bytes), release(QStringLiteral("0.2.5"), bytes), tooNew,
                 release(QStringLiteral("0.2.0"), bytes), release(QStringLiteral("0.1.0"), bytes)});
        QVERIFY(open(url("/feed.json")));
        const ClientUpdateCheckResponse checked = m_updater->check();
        QVERIFY2(!checked.error && checked.status.enabled && checked.status.lastCheckedAt && !checked.status.lastError,
                 qPrintable(checked.error.value_or(QString())));
        QCOMPARE(checked.status.availableUpdate, std::optional(release(QStringLiteral("0.2.5"), bytes)));

        // Nothing newer: the check says so and forgets the release it had found.
        publish({release(QStringLiteral("0.1.0"), bytes)});
        QVERIFY(!m_updater->check().error && !m_updater->status().availableUpdate);
    }

    void aFailedCheckIsReportedRememberedAndLeavesNothingToDownload() {
        const QString feed = url("/feed.json");
        const QString nobody = ScriptedHttpServer().baseUrl().toString() + "/feed.json"; // nothing listens there now
        const std::tuple<QString, std::optional<ScriptedResponse>, const char*> cases[] = {
            {QString(), {}, "no update feed is configured"},
            {nobody, {}, "cannot fetch"},
            {QStringLiteral("file:///etc/hostname"), {}, "is not an https URL"},
            {feed, ScriptedResponse::text(500, "boom"), "answered HTTP 500"},
            {feed, ScriptedResponse::json(200, "<html>"), "is not valid"},
            {feed, ScriptedResponse::json(200, R"({"releases":[{"version":"0.2.0","publishedAt":"x","pkgURL":"x","pkgSha256":"x"}]})"),
             "signature: missing required key"},
            {feed, ScriptedResponse::json(200, encodeJson(UpdateFeed{"beta", {release("0.2.0", package())}})),
             "is for the \"beta\" channel"}};
        for (const auto& [address, answer, reason] : cases) {
            init();
            if (answer)
                m_web.route("/feed.json", *answer);
            QVERIFY(open(address));
            const ClientUpdateCheckResponse checked = m_updater->check();
            QVERIFY2(checked.error && checked.error->contains(QLatin1StringView(reason)), qPrintable(checked.error.value_or(reason)));
            QVERIFY(checked.status.lastError == checked.error && !checked.status.availableUpdate && !checked.status.lastCheckedAt);
            QCOMPARE(m_updater->download().error().status, 409);
            QVERIFY(open(address));
            QCOMPARE(m_updater->status().lastError, checked.error);
        }
    }

    void aDownloadThatDoesNotVerifyIsDeletedAndNeverStaged() {
        const QByteArray bytes = package();
        QByteArray tampered = bytes;
        tampered[tampered.size() / 2] = char(tampered[tampered.size() / 2] ^ 1);
        const ScriptedResponse good = ScriptedResponse::bytes(200, bytes), forged = ScriptedResponse::bytes(200, tampered);
        const ScriptedResponse cut = ScriptedResponse::closeMidBody(200, bytes.left(bytes.size() / 2));
        // Genuinely signed, but not what the feed says: an old release, another product.
        const QByteArray older = package(QStringLiteral("0.0.9")), other = package(QStringLiteral("0.2.0"), QStringLiteral("tavrin-other"));
        ScriptedResponse toPlainHttp = ScriptedResponse::text(302, {});
        toPlainHttp.headers.push_back({"Location", url("/pkg").toUtf8()});
        using Spoil = std::function<void(ClientAppcastRelease&)>;
        const Spoil asIs = [](auto&) {};
        const Spoil digestOfTampered = [&](auto& r) { r.pkgSha256 = hexSha256(tampered); };
        const std::tuple<const char*, ScriptedResponse, Spoil, int, const char*> cases[] = {
            {"tampered package", forged, asIs, 422, "has SHA-256"},
            {"wrong digest in the feed", good, digestOfTampered, 422, "has SHA-256"},
            {"signed by another key", good, [&](auto& r) { r.signature = KeyPair().sign(bytes); }, 422, "valid signature"},
            {"tampered, digest updated", forged, digestOfTampered, 422, "valid signature"},
            {"truncated download", cut, asIs, 502, "download of 0.2.0 failed"},
            {"truncated, no size in the feed", cut, [](auto& r) { r.pkgSize.reset(); }, 502, "download of 0.2.0 failed"},
            {"longer than announced", ScriptedResponse::bytes(200, bytes + "more"), asIs, 502, "larger than"},
            {"package missing", ScriptedResponse::text(404, "gone"), asIs, 502, "answered HTTP 404"},
            {"malformed signature", good, [](auto& r) { r.signature = "c2lnbmF0dXJl"; }, 422, "malformed signature"},
            {"an older signed package offered as newer", ScriptedResponse::bytes(200, older),
             [&](auto& r) { r = release("0.2.0", older); }, 422, "is the package tavrin-keldmarch 0.0.9, not tavrin-keldmarch 0.2.0"},
            {"another product's signed package", ScriptedResponse::bytes(200, other), [&](auto& r) { r = release("0.2.0", other); },
             422, "is the package tavrin-other 0.2.0, not"},
            {"a file on this machine", good, [](auto& r) { r.pkgURL = "file:///etc/hostname"; }, 502, "is not an https URL"},
            {"a redirect to plain http", toPlainHttp, asIs, 502, "is not an https URL: not followed"}};
        for (const auto& [name, served, spoil, status, reason] : cases) {
            init();
            ClientAppcastRelease r = release("0.2.0", bytes);
            spoil(r);
            m_web.route("/pkg", served);
            publish({r});
            QVERIFY2(open(url("/feed.json")) && !m_updater->check().error, name);
            const auto downloaded = m_updater->download();
            QVERIFY2(!downloaded, name);
            QVERIFY2(downloaded.error().status == status && downloaded.error().text.contains(QLatin1StringView(reason)),
                     qPrintable(name + QStringLiteral(": ") + downloaded.error().text));
            QVERIFY2(updatesFolder().isEmpty(), qPrintable(updatesFolder().join(u' ')));
            QVERIFY(!m_updater->status().stagedDownloadPath);
            QCOMPARE(m_updater->status().lastError, std::optional(downloaded.error().text));
        }
    }

    // Changed on disk and found at a restart, or no longer what the feed offers.
    void aStagedPackageIsDroppedWhenItNoLongerVerifiesOrIsNoLongerOffered() {
        for (const bool changedOnDisk : {true, false}) {
            init();
            const QByteArray bytes = package();
            m_web.route("/pkg", ScriptedResponse::bytes(200, bytes));
            publish({release("0.2.0", bytes)});
            QVERIFY(open(url("/feed.json")) && !m_updater->check().error);
            const auto downloaded = m_updater->download();
            QVERIFY(downloaded);
            if (changedOnDisk) {
                QFile staged(downloaded->stagedDownloadPath);
                QVERIFY(staged.open(QIODevice::ReadWrite) && staged.seek(10) && staged.write("x") == 1);
                staged.close();
                QVERIFY(open(url("/feed.json")));
            } else {
                publish({release("0.2.1", bytes + "!")});
                QVERIFY(!m_updater->check().error);
            }
            QVERIFY(!m_updater->status().stagedDownloadPath && !QFile::exists(downloaded->stagedDownloadPath));
        }
    }

    // The Updates tab walks this way too, with a refusal; here what it does not see: the staged bytes,
    // their name, who may read them, and a restart that keeps them.
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
        const QString path = downloaded->stagedDownloadPath;
        QVERIFY(downloaded->verified && path.startsWith(server.stateDirectory() + QLatin1Char('/')));
        QCOMPARE(QFileInfo(path).fileName(), "tavrin-keldmarch_0.2.0.deb"); // a name the package installer opens
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(modeOf(path), mode_t(0600));

        TAVRIN_REQUIRE(server.restart());
        QCOMPARE(await(server.client()->updaterStatus())->stagedDownloadPath, std::optional(path));
        TAVRIN_REQUIRE(await(server.client()->clearStagedUpdate()));
        QVERIFY(!await(server.client()->updaterStatus())->stagedDownloadPath && !QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(UpdaterContractTest)
#include "UpdaterContractTest.moc"
