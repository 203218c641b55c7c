// Start at login from the bundle the Debian package installed (tests/package/check-package.sh runs
// this after installing it): the controller, with its default required location, accepts the
// installed bundle, and the login unit it installs runs the installed server. The systemd user
// manager cannot run here, so the scripted systemctl answers for it.

#include "control/DaemonProcessController.h"
#include "support/Basics.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tavrin;

class InstalledBundleTest : public QObject {
    Q_OBJECT
    QString m_bundle = qEnvironmentVariable("TAVRIN_INSTALLED_BUNDLE", QStringLiteral("/opt/tavrin-keldmarch"));

    QString server() const { return m_bundle + QStringLiteral("/libexec/tavrin-server"); }
    QString execStart() const { return QStringLiteral("\nExecStart=\"") + server() + QStringLiteral("\" serve\n"); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFileInfo(m_bundle + QStringLiteral("/bin/tavrin-keldmarch")).isExecutable(),
                 qPrintable(m_bundle + QStringLiteral(" holds no installed panel")));
        QVERIFY(QFileInfo(server()).isExecutable());
    }

    void theBundlesOwnUnitNamesTheInstalledServer() {
        const QString unit = QString::fromUtf8(test::fileBytes(m_bundle + QStringLiteral("/lib/systemd/user/com.tavrinai.server.service")));
        QVERIFY2(unit.contains(execStart()), qPrintable(unit));
    }

    void startAtLoginIsAcceptedAndRunsTheInstalledServer() {
        DaemonProcessControllerOptions options;
        options.bundlePath = m_bundle; // what the installed panel finds next to its own executable
        options.systemctl = QStringLiteral(SCRIPTED_SYSTEMCTL);
        DaemonProcessController controller(options);

        const auto registered = QCoro::waitFor(controller.registerAgent(std::nullopt));
        TAVRIN_REQUIRE(registered);
        const QString units = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd/user");
        const QString installed = QString::fromUtf8(test::fileBytes(units + QStringLiteral("/com.tavrinai.server.service")));
        QVERIFY2(installed.contains(execStart()), qPrintable(installed));
        QVERIFY(QFileInfo(units + QStringLiteral("/default.target.wants/com.tavrinai.server.service")).isSymLink());
        QVERIFY(controller.loginServiceEnabled());
        QCOMPARE(QCoro::waitFor(controller.refreshStatus()).registered, true);
    }
};

QTEST_GUILESS_MAIN(InstalledBundleTest)
#include "InstalledBundleTest.moc"
