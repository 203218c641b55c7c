// The Updates tab's decisions; then the tab against the server's test-key build and a feed signed by
// the project's tool, served over loopback HTTP: found, staged, revealed, deleted; a failing feed. Which
// packages the server refuses is its UpdaterContractTest.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "support/DebPackages.h"
#include "support/ScriptedHttpServer.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/tabs/UpdatesTab.h"
#include "ui/tabs/UpdatesTabLogic.h"

#include <QDBusConnection>

using namespace tavrin;

class UpdatesTabLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSizeShowsOnlyFromOneMebibyteAndChannelWordsAreCapitalised() {
        ClientAppcastRelease release;
        release.publishedAt = "2026-12-01";
        const std::pair<std::optional<qint64>, const char*> table[] = {
            {std::nullopt, ""}, {1048575, ""}, {1048576, " · 1 MB"}, {2936013, " · 3 MB"}};
        for (const auto& [size, end] : table) {
            release.pkgSize = size;
            QCOMPARE(releasedLine(release, "stable"), "Released 2026-12-01 · stable channel" + QString(end));
        }
        QCOMPARE(channelTitle("EARLY  access 2nd"), QString("Early  Access 2nd"));
    }
};

// The desktop's file manager on the test's private bus: it keeps what it is asked to show.
class FileManagerCalls : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown << uris; }
};

class UpdatesTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    QTemporaryDir m_dir;
    test::ScriptedHttpServer m_web;
    UpdatesTab* tab = nullptr;
    const QString m_tool = qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/tools/tavrin-update-sign";

    QString run(const QString& program, QStringList arguments) const {
        return QString::fromUtf8(test::runProgram(program, arguments.replaceInStrings("DIR/", m_dir.path() + "/")).out).trimmed();
    }
    // The panel's Debian package signed with `key` into a feed beside it; the package comes a second late.
    void publish(const QString& key) {
        const QString deb = test::buildDebPackage(m_dir.path(), "tavrin-keldmarch", "99.0.0");
        const QString feed = run(m_tool, {"feed", "--key", "DIR/" + key, "--url", m_web.baseUrl().toString() + "/p.deb",
                                          "--notes", "Faster exports.", deb});
        QVERIFY(feed.contains("99.0.0"));
        m_web.route("/p.deb", test::ScriptedResponse::bytes(200, test::fileBytes(deb)).after(std::chrono::seconds(1)));
        m_web.route("/feed.json", test::ScriptedResponse::json(200, feed.toUtf8()));
    }
    QStringList staged() const { return QDir(server->stateDirectory() + "/updates").entryList(QDir::Files | QDir::Hidden); }
    QString updaterError() const { return QCoro::waitFor(client->updaterStatus())->lastError.value_or("none"); }

private Q_SLOTS:
    void cleanup() { tearDown(); }

    void aSignedReleaseIsFoundStagedRevealedAndDeleted() {
        test::ReferenceServerOptions options({"--update-public-key", run(m_tool, {"keygen", "DIR/publisher.key"})},
                                             {"TAVRIN_UPDATE_FEED=" + m_web.baseUrl().toString() + "/feed.json"});
        options.executable = test::ReferenceServer::testKeysExecutablePath();
        publish("publisher.key");
        startServer(options);
        tab = open<UpdatesTab>(AdminTab::updates);
        QTRY_VERIFY(visibleTexts(tab).contains("Latest stable on the stable channel · last checked never"));
        buttonNamed(tab, "Check now")->click();
        for (TRButton* b : tab->findChildren<TRButton*>()) // the hero's and the card's: one check, one state
            QVERIFY(b->symbol() != "arrow.triangle.2.circlepath" || (b->text() == "Checking…" && !b->isEnabled()));
        QTRY_COMPARE(statusLines(tab), QStringList{"Update found."});
        QVERIFY(visibleTexts(tab).contains("Faster exports.") && !buttonNamed(tab, "Show in Folder"));
        tab->findChild<TRDisclosure*>()->setExpanded(true);

        // A check started during the download ends first; the download's outcome is the last word.
        buttonNamed(tab, "Download & verify")->click();
        buttonNamed(tab, "Check now")->click();
        QVERIFY(tab->flows().running() == 2 && !buttonNamed(tab, "Download & verify")->isEnabled());
        QTRY_COMPARE(tab->flows().running(), 0);
        QVERIFY(errorLines(tab).isEmpty() && statusLines(tab).value(0).contains("99.0.0") && staged().size() == 1);
        FileManagerCalls fileManager;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject("/org/freedesktop/FileManager1", &fileManager, QDBusConnection::ExportAllSlots) &&
                bus.registerService("org.freedesktop.FileManager1"));
        buttonNamed(tab, "Show in Folder")->click();
        const QString path = tab->editor()->record()->stagedDownloadPath.value_or("none");
        QTRY_COMPARE(fileManager.shown, QStringList{QUrl::fromLocalFile(path).toString()});
        const QStringList said = statusLines(tab);
        QVERIFY(press(tab, "Delete download"));
        QVERIFY(!buttonNamed(tab, "Delete download") && staged().isEmpty() && statusLines(tab) == said);

        // A failing feed: the check's error and the updater's own in its card; the release stays.
        m_web.route("/feed.json", test::ScriptedResponse::text(500, "boom"));
        QVERIFY(press(tab, "Check now"));
        QCOMPARE(errorLines(tab), QStringList{updaterError()});
        QVERIFY(statusLines(tab).isEmpty() && buttonNamed(tab, "Download & verify") && visibleTexts(tab).count(updaterError()) == 2);
    }
};

int main(int argc, char** argv) { return runKitTests<UpdatesTabLogicTest, UpdatesTabTest>(argc, argv); }

#include "UpdatesTabTest.moc"
