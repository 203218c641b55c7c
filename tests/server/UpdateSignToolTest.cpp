// The publisher's signing tool as a publisher uses it: a key pair, Debian packages of the panel signed
// into a feed, and the server's updater (with this run's public key) checking that feed, downloading
// the package and staging it under a name the desktop's package installer opens.

#include "ServerTesting.h"
#include "support/DebPackages.h"
#include "support/ScriptedHttpServer.h"

#include "server/updates/Updater.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tavrin;
using namespace tavrin::test;

namespace {

QString tool() { return qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/tools/tavrin-update-sign"); }

} // namespace

class UpdateSignToolTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_publicKey;
    ScriptedHttpServer m_web; // where the feed and the packages are published

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString secretKey() const { return path(QStringLiteral("update.key")); }

    QString makePackage(const QString& package, const QString& version, const QByteArray& payload = "payload") {
        return buildDebPackage(m_dir.path(), package, version, payload);
    }
    // Where a package is published: its file name under the web server.
    QString urlOf(const QString& deb) const { return m_web.baseUrl().toString() + QLatin1Char('/') + QFileInfo(deb).fileName(); }
    void publish(const QString& file) {
        m_web.route("/" + QFileInfo(file).fileName().toUtf8(), ScriptedResponse::bytes(200, fileBytes(file)));
    }

    // An option in `extra` comes last, so it wins over the default --url.
    Ran sign(const QString& deb, const QStringList& extra = {}) const {
        const QStringList args{QStringLiteral("feed"), QStringLiteral("--key"), secretKey(), QStringLiteral("--url"), urlOf(deb)};
        return runProgram(tool(), args + extra + QStringList{deb});
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFileInfo(tool()).isExecutable());
        m_publicKey = QString::fromUtf8(runProgram(tool(), {QStringLiteral("keygen"), secretKey()}).out.trimmed());
        QVERIFY(Updater::parsePublicKey(m_publicKey).has_value());
    }

    // Signed one after another into one feed: every release kept, newest first, one build per version.
    // The server's own updater (as a server of an older version with this run's key opens it; the
    // way through the server is the updater's contract test) takes the newest and stages it under a
    // name the desktop's package installer opens.
    void theFeedKeepsEveryReleaseAndTheUpdaterStagesTheNewestAsADebianPackage() {
        const QString feed = path("growing-feed.json");
        QCOMPARE(sign(makePackage("tavrin-keldmarch", "0.3.0"), {"--into", feed}).status, 0);
        const QString newest = makePackage("tavrin-keldmarch", "0.10.0");
        const Ran signed_ = sign(newest, {"--into", feed, "--notes", "Faster exports."});
        QVERIFY2(signed_.status == 0, qPrintable(signed_.err));
        // 0.3.0 again, rebuilt: its entry is replaced, not doubled.
        const QString rebuilt = makePackage("tavrin-keldmarch", "0.3.0", "rebuilt");
        QCOMPARE(sign(rebuilt, {"--into", feed}).status, 0);
        const auto read = decodeJson<UpdateFeed>(fileBytes(feed));
        QVERIFY(read && read->releases.size() == 2);
        QCOMPARE(read->channel, std::optional<QString>("stable"));
        QCOMPARE(read->releases[0].version, "0.10.0"); // read from the package
        QCOMPARE(read->releases[1].version, "0.3.0");
        QCOMPARE(read->releases[1].pkgSha256,
                 QString::fromLatin1(QCryptographicHash::hash(fileBytes(rebuilt), QCryptographicHash::Sha256).toHex()));

        publish(feed);
        publish(newest);
        QTemporaryDir state;
        auto updater = Updater::open(*StateStore::open(state.path()), urlOf(feed), *Updater::parsePublicKey(m_publicKey), "0.1.0");
        TAVRIN_REQUIRE(updater);
        const auto checked = (*updater)->check();
        QVERIFY2(!checked.error && checked.status.availableUpdate, qPrintable(checked.error.value_or(QString())));
        QCOMPARE(checked.status.availableUpdate->version, "0.10.0");
        QCOMPARE(checked.status.availableUpdate->releaseNotes, std::optional<QString>("Faster exports."));
        QCOMPARE(checked.status.availableUpdate->pkgSize, std::optional(QFileInfo(newest).size()));
        const auto downloaded = (*updater)->download();
        QVERIFY(downloaded && downloaded->verified);
        QCOMPARE(QFileInfo(downloaded->stagedDownloadPath).fileName(), "tavrin-keldmarch_0.10.0.deb");
        QCOMPARE(fileBytes(downloaded->stagedDownloadPath), fileBytes(newest));
        QCOMPARE(runProgram("dpkg-deb", {"--field", downloaded->stagedDownloadPath, "Version"}).out.trimmed(), QByteArray("0.10.0"));
    }

    void refusesWhatWouldNotInstallAndLeavesTheFeedAlone() {
        const QString feed = path("kept-feed.json");
        const QString broken = path("broken"); // a feed without releases
        const QString notADeb = path("random.deb");
        QVERIFY(writeBytes(notADeb, QByteArray(5000, 'x')));
        const QString ours = makePackage("tavrin-keldmarch", "0.3.0");
        const std::tuple<QString, QStringList, const char*> cases[] = {
            {notADeb, {}, "is not a Debian package"},
            {makePackage("tavrin-other", "0.3.0"), {}, "is the package of tavrin-other, not of tavrin-keldmarch"},
            {ours, {"--version", "0.5.0"}, "holds version 0.3.0, not 0.5.0"},
            {ours, {"--url", "htps://updates.tavrinai.example/x.deb"}, "is not an https URL"},
            {ours, {"--url", "file:///srv/tavrin-keldmarch_0.3.0_all.deb"}, "is not an https URL"},
            {ours, {"--url", "http://updates.tavrinai.example/x.deb"}, "is not an https URL"},
            {ours, {"--into", broken}, "is not an update feed"}};
        for (const auto& [deb, extra, reason] : cases) {
            QFile::remove(feed);
            QCOMPARE(sign(ours, {"--into", feed}).status, 0);
            QVERIFY(writeBytes(broken, "{\"channel\": \"stable\"}"));
            const QByteArray before = fileBytes(feed);
            const Ran refused = sign(deb, extra.contains(broken) ? extra : extra + QStringList{"--into", feed});
            QVERIFY2(refused.status == 1 && refused.err.contains(reason) && refused.out.isEmpty(),
                     qPrintable(refused.err));
            QCOMPARE(fileBytes(feed), before);
            QCOMPARE(fileBytes(broken), QByteArray("{\"channel\": \"stable\"}"));
        }
    }
};

QTEST_GUILESS_MAIN(UpdateSignToolTest)
#include "UpdateSignToolTest.moc"
