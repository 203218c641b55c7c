// The publisher's signing tool as a publisher uses it: a key pair, Debian packages of the panel signed
// into a feed, and the server's updater (with this run's public key) checking that feed, downloading
// the package and staging it under a name the desktop's package installer opens.

#include "ServerTesting.h"

#include "server/Updater.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace tavrin;
using namespace tavrin::test;

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString tool() { return qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/tools/tavrin-update-sign"); }

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString fileUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(); }

} // namespace

class UpdateSignToolTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_publicKey;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString secretKey() const { return path(QStringLiteral("update.key")); }

    // A Debian package as dpkg-deb builds it; `payload` tells builds of one version apart.
    QString makePackage(const QString& package, const QString& version, const QByteArray& payload = "payload") {
        const QString root = path(QStringLiteral("root-%1-%2").arg(package, version));
        QDir(root).removeRecursively();
        if (!QDir().mkpath(root + QStringLiteral("/DEBIAN")) || !QDir().mkpath(root + QStringLiteral("/opt/tavrin-keldmarch")))
            return {};
        const QString control = QStringLiteral("Package: %1\nVersion: %2\nArchitecture: all\n"
                                               "Maintainer: Test <test@tavrinai.example>\nDescription: test package\n")
                                    .arg(package, version);
        if (!writeBytes(root + QStringLiteral("/DEBIAN/control"), control.toUtf8()) ||
            !writeBytes(root + QStringLiteral("/opt/tavrin-keldmarch/payload"), payload.repeated(10'000)))
            return {};
        const QString deb = path(QStringLiteral("%1_%2_all.deb").arg(package, version));
        const Run built = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--build"), QStringLiteral("--root-owner-group"), root, deb});
        if (built.status != 0)
            qWarning("dpkg-deb: %s", qPrintable(built.err));
        return built.status == 0 ? deb : QString();
    }

    // An option in `extra` comes last, so it wins over the default --url.
    Run sign(const QString& deb, const QStringList& extra = {}) const {
        const QStringList args{QStringLiteral("feed"), QStringLiteral("--key"), secretKey(), QStringLiteral("--url"), fileUrl(deb)};
        return run(tool(), args + extra + QStringList{deb});
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFileInfo(tool()).isExecutable());
        const Run made = run(tool(), {QStringLiteral("keygen"), secretKey()});
        QCOMPARE(made.status, 0);
        m_publicKey = made.out.trimmed();
        QVERIFY(Updater::parsePublicKey(m_publicKey).has_value());
    }

    void aSignedPackageIsOfferedDownloadedAndStagedAsADebianPackage() {
        const QString deb = makePackage(QStringLiteral("tavrin-keldmarch"), QStringLiteral("0.3.0"));
        QVERIFY(!deb.isEmpty());
        const QString feed = path(QStringLiteral("staged-feed.json"));
        const Run signed_ = sign(deb, {QStringLiteral("--into"), feed, QStringLiteral("--notes"), QStringLiteral("Faster exports.")});
        QVERIFY2(signed_.status == 0, qPrintable(signed_.err));

        // The server's own updater, as a server of an older version with this run's key opens it
        // (the way through the server is the updater's contract test).
        QTemporaryDir state;
        auto updater = Updater::open(*StateStore::open(state.path()), fileUrl(feed), *Updater::parsePublicKey(m_publicKey),
                                     QStringLiteral("0.1.0"));
        TAVRIN_REQUIRE(updater);
        const auto checked = (*updater)->check();
        QVERIFY2(!checked.error, qPrintable(checked.error.value_or(QString())));
        QVERIFY(checked.status.availableUpdate);
        QCOMPARE(checked.status.availableUpdate->version, QStringLiteral("0.3.0")); // read from the package
        QCOMPARE(checked.status.availableUpdate->releaseNotes, std::optional(QStringLiteral("Faster exports.")));
        QCOMPARE(checked.status.availableUpdate->pkgSize, std::optional(QFileInfo(deb).size()));

        const auto downloaded = (*updater)->download();
        QVERIFY(downloaded);
        QVERIFY(downloaded->verified);
        QCOMPARE(QFileInfo(downloaded->stagedDownloadPath).fileName(), QStringLiteral("tavrin-keldmarch_0.3.0.deb"));
        QCOMPARE(readBytes(downloaded->stagedDownloadPath), readBytes(deb));
        const Run opened = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), downloaded->stagedDownloadPath, QStringLiteral("Version")});
        QCOMPARE(opened.out.trimmed(), QStringLiteral("0.3.0"));
    }

    void theFeedKeepsEveryReleaseNewestFirstAndOneBuildPerVersion() {
        const QString feed = path(QStringLiteral("growing-feed.json"));
        const QString first = makePackage(QStringLiteral("tavrin-keldmarch"), QStringLiteral("0.3.0"));
        QCOMPARE(sign(first, {QStringLiteral("--into"), feed}).status, 0);
        QCOMPARE(sign(makePackage(QStringLiteral("tavrin-keldmarch"), QStringLiteral("0.10.0")), {QStringLiteral("--into"), feed}).status, 0);
        // 0.3.0 again, rebuilt: its entry is replaced, not doubled.
        const QString rebuilt = makePackage(QStringLiteral("tavrin-keldmarch"), QStringLiteral("0.3.0"), "rebuilt");
        QCOMPARE(sign(rebuilt, {QStringLiteral("--into"), feed}).status, 0);

        const auto read = decodeJson<UpdateFeed>(readBytes(feed));
        QVERIFY(read);
        QCOMPARE(read->channel, std::optional(QStringLiteral("stable")));
        QCOMPARE(read->releases.size(), std::size_t(2));
        QCOMPARE(read->releases[0].version, QStringLiteral("0.10.0"));
        QCOMPARE(read->releases[1].version, QStringLiteral("0.3.0"));
        QCOMPARE(read->releases[1].pkgSha256,
                 QString::fromLatin1(QCryptographicHash::hash(readBytes(rebuilt), QCryptographicHash::Sha256).toHex()));
    }

    void refusesWhatWouldNotInstallAndLeavesTheFeedAlone_data() {
        QTest::addColumn<QString>("package"); // empty: a file that is no package
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("reason");
        const QString ours = QStringLiteral("tavrin-keldmarch");
        QTest::newRow("not a Debian package") << QString() << QStringList() << "is not a Debian package";
        QTest::newRow("another program's package") << "tavrin-other" << QStringList()
                                                   << "is the package of tavrin-other, not of tavrin-keldmarch";
        QTest::newRow("version disagrees with the package") << ours << QStringList{"--version", "0.5.0"}
                                                            << "holds version 0.3.0, not 0.5.0";
        QTest::newRow("URL the server cannot fetch") << ours << QStringList{"--url", "htps://updates.tavrinai.example/x.deb"}
                                                     << "is not an http, https or file URL";
        QTest::newRow("into a file that is not a feed") << ours << QStringList{"--into", "broken"} << "is not an update feed";
    }
    void refusesWhatWouldNotInstallAndLeavesTheFeedAlone() {
        QFETCH(QString, package);
        QFETCH(QStringList, extra);
        QFETCH(QString, reason);
        const QString feed = path(QStringLiteral("kept-feed.json"));
        const QString broken = path(QStringLiteral("broken"));
        QFile::remove(feed);
        QCOMPARE(sign(makePackage(QStringLiteral("tavrin-keldmarch"), QStringLiteral("0.3.0")), {QStringLiteral("--into"), feed}).status, 0);
        QVERIFY(writeBytes(broken, "{\"channel\": \"stable\"}")); // no releases
        const QByteArray before = readBytes(feed);

        QString deb = path(QStringLiteral("random.deb"));
        if (package.isEmpty())
            QVERIFY(writeBytes(deb, QByteArray(5000, 'x')));
        else
            deb = makePackage(package, QStringLiteral("0.3.0"));
        extra.replaceInStrings(QStringLiteral("broken"), broken);
        const Run refused = sign(deb, extra.contains(broken) ? extra : extra + QStringList{QStringLiteral("--into"), feed});
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(reason), qPrintable(refused.err));
        QVERIFY(refused.out.isEmpty());
        QCOMPARE(readBytes(feed), before);
        QCOMPARE(readBytes(broken), QByteArray("{\"channel\": \"stable\"}"));
    }
};

QTEST_GUILESS_MAIN(UpdateSignToolTest)
#include "UpdateSignToolTest.moc"
