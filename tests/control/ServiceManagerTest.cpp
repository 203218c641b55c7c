#include "control/ServiceManager.h"

#include "TestBundle.h"

#include <QFileInfo>
#include <QTest>

using namespace tavrin;

namespace {
const QString unitFolder() { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd/user"); }

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

Q_DECLARE_METATYPE(tavrin::EnvironmentEntries)

class UnitEnvironmentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsServiceEnvironmentAsSystemdDoes_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<EnvironmentEntries>("expected");
        using E = EnvironmentEntries;
        QTest::newRow("plain") << "[Service]\nEnvironment=A=1 B=two\n" << E{{"A", "1"}, {"B", "two"}};
        QTest::newRow("quoted with spaces") << "[Service]\nEnvironment=\"A=a b\" 'B=c \"d\"'\n"
                                            << E{{"A", "a b"}, {"B", "c \"d\""}};
        QTest::newRow("escapes and specifier") << "[Service]\nEnvironment=\"A=x\\\"y\\\\z\" B=50%%\n"
                                               << E{{"A", "x\"y\\z"}, {"B", "50%"}};
        QTest::newRow("several lines accumulate") << "[Service]\nEnvironment=A=1\nEnvironment=B=2\n"
                                                  << E{{"A", "1"}, {"B", "2"}};
        QTest::newRow("empty assignment resets") << "[Service]\nEnvironment=A=1\nEnvironment=\nEnvironment=B=2\n"
                                                 << E{{"B", "2"}};
        QTest::newRow("other sections ignored") << "[Unit]\nEnvironment=A=1\n[Service]\nEnvironment=B=2\n[Install]\nEnvironment=C=3\n"
                                                << E{{"B", "2"}};
        QTest::newRow("comments and bad names skipped") << "[Service]\n# Environment=A=1\nEnvironment=1X=2 NOEQUALS =v OK_1=y\n"
                                                        << E{{"OK_1", "y"}};
        QTest::newRow("continued line") << "[Service]\nEnvironment=A=1 \\\n  B=2\n" << E{{"A", "1"}, {"B", "2"}};
        QTest::newRow("empty value kept") << "[Service]\nEnvironment=EMPTY=\n" << E{{"EMPTY", ""}};
        QTest::newRow("no unit text") << "" << E{};
    }
    void readsServiceEnvironmentAsSystemdDoes() {
        QFETCH(QString, unit);
        QFETCH(EnvironmentEntries, expected);
        QCOMPARE(parseUnitEnvironment(unit), expected);
    }

    void renderedUnitReadsBackTheSameEntries() {
        const EnvironmentEntries entries{{"SPACES", "a b  c"}, {"QUOTES", "say \"hi\" it's"}, {"PERCENT", "100%"},
                                         {"DOLLAR", "$HOME"}, {"BACKSLASH", "C:\\x"}, {"EMPTY", ""}};
        const QString unit = renderUserUnit(QStringLiteral("/opt/a b/libexec/tavrin-server"), entries);
        QCOMPARE(parseUnitEnvironment(unit), entries);
        QVERIFY(unit.contains(QStringLiteral("\nExecStart=\"/opt/a b/libexec/tavrin-server\" serve\n")));
        QVERIFY(unit.contains(QStringLiteral("\nWantedBy=default.target\n")));
    }
};

// Against the scripted systemctl, which answers as systemd does (see scripted-systemctl.sh).
class ServiceManagerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestBundle> m_bundle;
    std::unique_ptr<ServiceManager> m_manager;

    ToolRun launchctl(const QString& verb) {
        QStringList args{verb, QStringLiteral("gui/%1/com.tavrinai.server").arg(::getuid())};
        if (verb == QLatin1String("kickstart"))
            args.insert(1, QStringLiteral("-k"));
        return QCoro::waitFor(m_manager->launchctl(args));
    }

private Q_SLOTS:
    void init() {
        qunsetenv("SCRIPTED_SYSTEMCTL_NO_MANAGER");
        qunsetenv("SCRIPTED_SYSTEMCTL_MAINPID");
        QDir(unitFolder()).removeRecursively();
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/scripted-systemd")).removeRecursively();
        m_bundle = std::make_unique<TestBundle>();
        QVERIFY(m_bundle->writeUnit("[Service]\nExecStart=/elsewhere serve\nEnvironment=\"TAVRIN_GREETING=hello world\"\n"));
        m_manager = std::make_unique<ServiceManager>(m_bundle->path(), QStringLiteral(SCRIPTED_SYSTEMCTL));
    }

    void statusIsNotFoundWithoutTheBundleUnit() {
        QFile::remove(m_bundle->unit());
        QCOMPARE(QCoro::waitFor(m_manager->status()), AgentStatus::notFound);
        QVERIFY(!QCoro::waitFor(m_manager->registerService()));
    }

    void registrationInstallsEnablesAndStartsTheUnit() {
        QCOMPARE(QCoro::waitFor(m_manager->status()), AgentStatus::notRegistered);
        const auto registered = QCoro::waitFor(m_manager->registerService());
        QVERIFY2(registered, failureOf(registered).constData());
        QCOMPARE(QCoro::waitFor(m_manager->status()), AgentStatus::enabled);

        const QString installed = readAll(m_manager->installedUnitPath());
        QCOMPARE(m_manager->installedUnitPath(), unitFolder() + QStringLiteral("/com.tavrinai.server.service"));
        QVERIFY(installed.contains(QStringLiteral("ExecStart=\"") + m_bundle->server() + QStringLiteral("\" serve\n")));
        QCOMPARE(parseUnitEnvironment(installed),
                 (EnvironmentEntries{{QStringLiteral("TAVRIN_GREETING"), QStringLiteral("hello world")}}));

        const ToolRun printed = launchctl(QStringLiteral("print"));
        QCOMPARE(printed.status, 0);
        QVERIFY2(printed.output.contains(QStringLiteral("\tstate = running\n\tpid = 4321\n")), qPrintable(printed.output));
    }

    void registrationWithoutAManagerFailsInItsWordsAndLeavesNothingBehind() {
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        const auto registered = QCoro::waitFor(m_manager->registerService());
        QVERIFY(!registered);
        QCOMPARE(registered.error(), QStringLiteral("Failed to connect to bus: No such file or directory"));
        QVERIFY(!QFileInfo::exists(m_manager->installedUnitPath()));
        QVERIFY(!QFileInfo::exists(unitFolder() + QStringLiteral("/default.target.wants/com.tavrinai.server.service")));
        QCOMPARE(QCoro::waitFor(m_manager->status()), AgentStatus::notRegistered);
    }

    void unregistrationDisablesStopsAndRemoves() {
        QVERIFY(QCoro::waitFor(m_manager->registerService()));
        const auto removed = QCoro::waitFor(m_manager->unregisterService());
        QVERIFY2(removed, failureOf(removed).constData());
        QVERIFY(!QFileInfo::exists(m_manager->installedUnitPath()));
        QCOMPARE(QCoro::waitFor(m_manager->status()), AgentStatus::notRegistered);
        QCOMPARE(launchctl(QStringLiteral("print")).status, 113);
        // Nothing registered: unregistering again is not an error.
        QVERIFY(QCoro::waitFor(m_manager->unregisterService()));
    }

    void unregistrationWithoutAManagerStillRemovesTheUnitFiles() {
        QVERIFY(QCoro::waitFor(m_manager->registerService()));
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        QVERIFY(QCoro::waitFor(m_manager->unregisterService()));
        QVERIFY(!QFileInfo::exists(m_manager->installedUnitPath()));
    }

    void bootoutSpeaksLaunchctl() {
        QCOMPARE(launchctl(QStringLiteral("bootout")).status, 113); // systemctl: 5, not loaded
        QVERIFY(QCoro::waitFor(m_manager->registerService()));
        QCOMPARE(launchctl(QStringLiteral("bootout")).status, 0);
        QVERIFY(launchctl(QStringLiteral("print")).output.contains(QStringLiteral("state = inactive")));
        QVERIFY(!launchctl(QStringLiteral("print")).output.contains(QStringLiteral("pid =")));
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        QCOMPARE(launchctl(QStringLiteral("bootout")).status, 1);
    }

    void kickstartRestartsOnlyAKnownUnit() {
        QCOMPARE(launchctl(QStringLiteral("kickstart")).status, 5);
        QVERIFY(QCoro::waitFor(m_manager->registerService()));
        QCOMPARE(launchctl(QStringLiteral("bootout")).status, 0);
        qputenv("SCRIPTED_SYSTEMCTL_MAINPID", "777");
        QCOMPARE(launchctl(QStringLiteral("kickstart")).status, 0);
        QVERIFY(launchctl(QStringLiteral("print")).output.contains(QStringLiteral("pid = 777")));
    }

    void printOfAnUnknownUnitIsEmptyAndNotFound() {
        const ToolRun printed = launchctl(QStringLiteral("print"));
        QCOMPARE(printed.status, 113);
        QCOMPARE(printed.output, QString());
    }

    void aToolThatCannotRunGivesMinusOne() {
        ServiceManager missing(m_bundle->path(), QStringLiteral("/nonexistent/systemctl"));
        const ToolRun run = QCoro::waitFor(missing.launchctl(
            {QStringLiteral("bootout"), QStringLiteral("gui/0/com.tavrinai.server")}));
        QCOMPARE(run.status, -1);
        QCOMPARE(run.output, QString());
        QCOMPARE(QCoro::waitFor(missing.status()), AgentStatus::notRegistered);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        UnitEnvironmentTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        ServiceManagerTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "ServiceManagerTest.moc"
