#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"

#include "TestBundle.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

using namespace tavrin;

namespace {

// The "listening on HOST:PORT" line the server prints once it accepts connections.
QUrl listeningUrl(const QString& log) {
    static const QRegularExpression listening(QStringLiteral("listening on ([^\\s:]+):(\\d+)"));
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto match = listening.match(QString::fromUtf8(file.readAll()));
    return match.hasMatch() ? QUrl(QStringLiteral("http://%1:%2").arg(match.captured(1), match.captured(2))) : QUrl();
}

} // namespace

// The controller driving the real reference server over real HTTP. The bundle's libexec/tavrin-server
// is a wrapper that execs the server (same process id) on a free port, so parallel runs never meet
// on port 11434; everything else the server finds by itself, from what the panel gave it.
class ControllerWithServerTest : public QObject {
    Q_OBJECT
    QString m_server;
    QByteArray m_dataHome;
    std::unique_ptr<TestBundle> m_bundle;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<DaemonProcessController> m_controller;

    QString outLog() const { return m_scratch->path() + QStringLiteral("/out.log"); }
    QString stateDirectory() const { return m_scratch->path() + QStringLiteral("/panel data/Tavrin Server"); }
    // Where a server would look on its own: the panel's folder must reach it anyway.
    QString foreignHome() const { return m_scratch->path() + QStringLiteral("/elsewhere"); }

    QUrl waitForListening() {
        QUrl url;
        [&] { QTRY_VERIFY_WITH_TIMEOUT((url = listeningUrl(outLog())).isValid(), 15'000); }();
        return url;
    }

    // The folder the readiness step settled on, holding a valid model bundle.
    QString chooseModelFolder() {
        const QString folder = m_scratch->path() + QStringLiteral("/companion resources");
        QProcess make;
        make.start(m_server, {QStringLiteral("make-sample-bundle"), folder});
        [&] { QVERIFY(make.waitForFinished(15'000) && make.exitCode() == 0); }();
        QSettings().setValue(QStringLiteral("TavrinServer.bundlePath"), folder);
        return folder;
    }

private Q_SLOTS:
    void initTestCase() {
        m_server = qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/libexec/tavrin-server");
        if (!QFileInfo(m_server).isExecutable())
            QSKIP("the reference server is not built in this tree");
        m_dataHome = qgetenv("XDG_DATA_HOME");
    }

    void init() {
        m_bundle = std::make_unique<TestBundle>();
        m_scratch = std::make_unique<QTemporaryDir>();
        QSettings().remove(QStringLiteral("TavrinServer.bundlePath"));
        QDir().mkpath(m_bundle->path() + QStringLiteral("/libexec"));
        QFile wrapper(m_bundle->server());
        QVERIFY(wrapper.open(QIODevice::WriteOnly));
        wrapper.write(QStringLiteral("#!/bin/sh\nexec '%1' \"$@\" --port 0\n").arg(m_server).toUtf8());
        wrapper.close();
        QVERIFY(wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(m_bundle->writeUnit("[Service]\nExecStart=/x serve\n"));
        DaemonProcessControllerOptions options;
        options.bundlePath = m_bundle->path();
        options.requiredBundlePath = m_bundle->path();
        options.systemctl = QStringLiteral(SCRIPTED_SYSTEMCTL);
        options.stateDirectory = stateDirectory();
        options.standardOutputLog = outLog();
        options.standardErrorLog = m_scratch->path() + QStringLiteral("/err.log");
        m_controller = std::make_unique<DaemonProcessController>(options);
        qputenv("XDG_DATA_HOME", foreignHome().toUtf8());
    }

    void cleanup() {
        qputenv("XDG_DATA_HOME", m_dataHome);
        if (m_controller)
            QCoro::waitFor(m_controller->stopChildOnQuit());
    }

    void aChildServesThePanelsPasswordAndChosenModelFolder() {
        chooseModelFolder();
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("correct horse battery staple")));
        const QUrl url = waitForListening();
        DaemonClient client(url, QStringLiteral("correct horse battery staple"));
        const auto status = QCoro::waitFor(client.status());
        QVERIFY2(status, failureOf(status).constData());
        QCOMPARE(status->stateDirectory, stateDirectory());
        QVERIFY2(status->model.running, "the server found no model in the folder the panel chose");

        DaemonClient stranger(url, QStringLiteral("wrong password"));
        QVERIFY(QCoro::waitFor(stranger.status()).error().is<DaemonClientError::Unauthenticated>());

        // A second start adopts the serving process and leaves its password alone.
        const auto pid = m_controller->pid();
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("second-password")));
        QCOMPARE(m_controller->pid(), pid);
        QVERIFY(QCoro::waitFor(client.status()));
    }

    // The user manager starts the login service with its own environment, not the panel's: what the
    // installed unit says must be enough for the server to find the panel's password and model.
    void theLoginServiceFindsThePanelsPasswordAndChosenModelFolder() {
        chooseModelFolder();
        QVERIFY(QCoro::waitFor(m_controller->registerAgent(QStringLiteral("login-service-password"))));
        QFile unit(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd/user/com.tavrinai.server.service"));
        QVERIFY(unit.open(QIODevice::ReadOnly));
        QProcessEnvironment managers;
        managers.insert(QStringLiteral("HOME"), foreignHome());
        managers.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        for (const auto& [name, value] : parseUnitEnvironment(QString::fromUtf8(unit.readAll())))
            managers.insert(name, value);
        QProcess service;
        service.setProcessEnvironment(managers);
        service.setStandardOutputFile(outLog());
        service.start(m_bundle->server(), {QStringLiteral("serve")});
        const QUrl url = waitForListening();
        DaemonClient client(url, QStringLiteral("login-service-password"));
        const auto status = QCoro::waitFor(client.status());
        service.terminate();
        service.waitForFinished(10'000);
        QVERIFY2(status, failureOf(status).constData());
        QVERIFY(status->model.running);
        QVERIFY(QCoro::waitFor(m_controller->unregisterAgent()));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch Tests"));
    ControllerWithServerTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "ControllerWithServerTest.moc"
