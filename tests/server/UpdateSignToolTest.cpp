// The publisher's signing tool as a publisher uses it: a key pair, and Debian packages of the panel
// signed into a feed, or refused when they would not install.

#include "ServerTesting.h"
#include "support/DebPackages.h"

#include "server/updates/Updater.h"

#include <QCryptographicHash>
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

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString secretKey() const { return path(QStringLiteral("update.key")); }

    QString makePackage(const QString& package, const QString& version, const QByteArray& payload = "payload") {
        return buildDebPackage(m_dir.path(), package, version, payload);
    }
    // Where a package is published: its file name on the publisher's site.
    static QString urlOf(const QString& deb) { return "https://updates.tavrinai.example/" + QFileInfo(deb).fileName(); }

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
    // That the server's updater takes such a feed and stages its newest package is the Updates tab's
    // test, which signs with this tool too.
    void theFeedKeepsEveryReleaseNewestFirstWithOneBuildPerVersion() {
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
        QVERIFY(read->releases[0].releaseNotes == std::optional<QString>("Faster exports.") &&
                read->releases[0].pkgSize == std::optional(QFileInfo(newest).size()));
        QCOMPARE(read->releases[1].version, "0.3.0");
        QCOMPARE(read->releases[1].pkgSha256,
                 QString::fromLatin1(QCryptographicHash::hash(fileBytes(rebuilt), QCryptographicHash::Sha256).toHex()));
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
