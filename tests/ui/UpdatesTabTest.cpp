// The Updates tab against the reference server's test-key build and a feed signed with the project's
// signing tool, served over loopback HTTP: a release is found, downloaded, verified and staged while a
// check runs beside the download, revealed through the desktop's file manager and deleted; a package
// signed with another key stages nothing, and a failing feed is reported in the server's words.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "support/ScriptedHttpServer.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/tabs/UpdatesTab.h"

#include <QDBusConnection>
#include <QProcess>
#include <QTemporaryDir>

using namespace tavrin;
using namespace std::chrono_literals;

namespace {

// The desktop's file manager as the panel calls it on the test's private bus: it keeps what it is
// asked to show.
class FileManagerCalls : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown << uris; }
};

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        qWarning("%s: %s", qPrintable(program), process.readAllStandardError().constData());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class UpdatesTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    QTemporaryDir m_dir;
    test::ScriptedHttpServer m_web;
    UpdatesTab* tab = nullptr;

    QString tool() const { return qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/tools/tavrin-update-sign"; }
    QString keygen(const QString& name) const { return run(tool(), {"keygen", m_dir.filePath(name)}); }
    // A Debian package of the panel, signed with `key` into a one-release feed that the web server
    // offers with the package.
    void publish(const QString& key) {
        const QString root = m_dir.filePath("root");
        QDir().mkpath(root + "/DEBIAN");
        QFile control(root + "/DEBIAN/control");
        QVERIFY(control.open(QIODevice::WriteOnly));
        control.write("Package: tavrin-keldmarch\nVersion: 99.0.0\nArchitecture: all\n"
                      "Maintainer: Test <test@tavrinai.example>\nDescription: test package\n");
        control.close();
        const QString deb = m_dir.filePath("tavrin-keldmarch_99.0.0_all.deb");
        run("dpkg-deb", {"--build", "--root-owner-group", root, deb});
        const QString url = m_web.baseUrl().toString() + "/pkg.deb";
        const QString feed = run(tool(), {"feed", "--key", m_dir.filePath(key), "--url", url, "--notes", "Faster exports.", deb});
        QVERIFY(feed.contains("99.0.0"));
        QFile package(deb);
        QVERIFY(package.open(QIODevice::ReadOnly));
        m_web.route("/pkg.deb", test::ScriptedResponse::bytes(200, package.readAll()).after(1s));
        m_web.route("/feed.json", test::ScriptedResponse::json(200, feed.toUtf8()));
    }
    void openWithKey(const QString& publicKey) {
        test::ReferenceServerOptions options({"--update-public-key", publicKey},
                                             {"TAVRIN_UPDATE_FEED=" + m_web.baseUrl().toString() + "/feed.json"});
        options.executable = test::ReferenceServer::testKeysExecutablePath();
        startServer(options);
        tab = open<UpdatesTab>(AdminTab::updates);
        QTRY_VERIFY(tab->editor()->record());
    }
    TRButton* button(const QString& text) const {
        return findVisible<TRButton>(tab, text, [](TRButton* b) { return b->text(); });
    }
    QList<TRButton*> checkButtons() const {
        QList<TRButton*> found;
        for (TRButton* b : tab->findChildren<TRButton*>())
            if (b->symbol() == "arrow.triangle.2.circlepath")
                found << b;
        return found;
    }
    void press(const QString& text) {
        QVERIFY2(button(text), qPrintable(text));
        button(text)->click();
    }
    QStringList stagedFiles() const {
        return QDir(server->stateDirectory() + "/updates").entryList(QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:
    void cleanup() {
        close(tab);
        tab = nullptr;
        tearDown();
    }

    void aSignedReleaseIsFoundStagedRevealedAndDeleted() {
        const QString publicKey = keygen("publisher.key");
        publish("publisher.key");
        openWithKey(publicKey);
        saveLoadingLook(AdminTab::updates, "updates-tab-loading");
        QVERIFY(visibleTexts(tab).contains("Latest stable on the stable channel · last checked never"));
        saveLook(tab, "updates-tab-up-to-date");

        press("Check now");
        for (TRButton* b : checkButtons()) // the hero's and the card's: one check, one state
            QVERIFY(b->text() == "Checking…" && !b->isEnabled());
        QTRY_COMPARE(tab->flows().running(), 0);
        QCOMPARE(statusLines(tab), QStringList{"Update found."});
        QVERIFY(visibleTexts(tab).contains("Faster exports."));
        QVERIFY(!button("Open in Finder") && !button("Delete download"));
        tab->findChild<TRDisclosure*>()->setExpanded(true);
        saveLook(tab, "updates-tab-update-available");

        // The package comes a second late: a check started meanwhile ends first, and the download's
        // own outcome is the last word.
        press("Download & verify");
        press("Check now");
        QCOMPARE(tab->flows().running(), 2);
        QVERIFY(!button("Download & verify")->isEnabled());
        QTRY_COMPARE(tab->flows().running(), 0);
        QCOMPARE(errorLines(tab), QStringList());
        QCOMPARE(statusLines(tab).size(), 1);
        const auto onServer = QCoro::waitFor(client->updaterStatus());
        QVERIFY(onServer && onServer->stagedDownloadPath && QFile::exists(*onServer->stagedDownloadPath));
        saveLook(tab, "updates-tab-staged");

        FileManagerCalls fileManager;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject("/org/freedesktop/FileManager1", &fileManager, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.FileManager1"));
        press("Open in Finder");
        QTRY_COMPARE(fileManager.shown, QStringList{QUrl::fromLocalFile(*onServer->stagedDownloadPath).toString()});
        const QStringList said = statusLines(tab);
        press("Delete download");
        QTRY_VERIFY(!button("Delete download"));
        QVERIFY(stagedFiles().isEmpty());
        QCOMPARE(statusLines(tab), said);
    }

    void aPackageSignedWithAnotherKeyStagesNothing() {
        keygen("stranger.key");
        publish("stranger.key");
        openWithKey(keygen("pinned.key"));
        press("Check now");
        QTRY_COMPARE(tab->flows().running(), 0);
        press("Download & verify");
        QTRY_COMPARE(tab->flows().running(), 0);
        const auto refused = QCoro::waitFor(client->updaterStatus())->lastError;
        QVERIFY(refused && refused->contains("signature"));
        QCOMPARE(errorLines(tab).size(), 1);
        QVERIFY2(errorLines(tab).first().startsWith("Server returned HTTP 422: " + refused->trimmed()),
                 qPrintable(errorLines(tab).first()));
        QVERIFY(statusLines(tab).isEmpty() && stagedFiles().isEmpty() && !button("Open in Finder"));

        // A feed that fails: the check's error and the updater's own; the release it knew stays shown.
        m_web.route("/feed.json", test::ScriptedResponse::text(500, "boom"));
        press("Check now");
        QTRY_COMPARE(tab->flows().running(), 0);
        const auto failed = QCoro::waitFor(client->updaterStatus())->lastError;
        QVERIFY(failed && failed->contains("HTTP 500"));
        QCOMPARE(errorLines(tab), QStringList{*failed});
        QVERIFY(statusLines(tab).isEmpty() && button("Download & verify"));
        QCOMPARE(visibleTexts(tab).count(*failed), 2); // the error line, and the updater's own in its card
        saveLook(tab, "updates-tab-error");
    }
};

int main(int argc, char** argv) { return runKitTests<UpdatesTabTest>(argc, argv); }

#include "UpdatesTabTest.moc"
