#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"

#include "TestBundle.h"

#include <QRegularExpression>
#include <QTest>

using namespace tavrin;

namespace {
bool processGone(qint32 pid) {
    return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}
} // namespace

// The controller driving the real reference server in session mode, over real HTTP. The bundle's
// libexec/tavrin-server is a two-line wrapper that execs the server (same process id) with a free
// port and the test's state directory, so parallel test runs never meet on port 11434.
class ControllerWithServerTest : public QObject {
    Q_OBJECT
    QString m_server;
    std::unique_ptr<TestBundle> m_bundle;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<DaemonProcessController> m_controller;

    QString outLog() const { return m_scratch->path() + QStringLiteral("/out.log"); }
    QString stateDirectory() const { return m_scratch->path() + QStringLiteral("/Tavrin Server"); }

    // The "listening on HOST:PORT" line the server prints once it accepts connections.
    QUrl waitForListening() {
        static const QRegularExpression listening(QStringLiteral("listening on ([^\\s:]+):(\\d+)"));
        QUrl url;
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    QFile log(outLog());
                    if (!log.open(QIODevice::ReadOnly))
                        return false;
                    const auto match = listening.match(QString::fromUtf8(log.readAll()));
                    if (match.hasMatch())
                        url = QUrl(QStringLiteral("http://%1:%2").arg(match.captured(1), match.captured(2)));
                    return match.hasMatch();
                }(),
                15'000);
        }();
        return url;
    }

private Q_SLOTS:
    void initTestCase() {
        m_server = qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/libexec/tavrin-server");
        if (!QFileInfo(m_server).isExecutable())
            QSKIP("the reference server is not built in this tree");
    }

    void init() {
        m_bundle = std::make_unique<TestBundle>();
        m_scratch = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_bundle->path() + QStringLiteral("/libexec"));
        QFile wrapper(m_bundle->server());
        QVERIFY(wrapper.open(QIODevice::WriteOnly));
        wrapper.write(QStringLiteral("#!/bin/sh\nexec '%1' \"$@\" --state-dir '%2' --port 0\n")
                          .arg(m_server, stateDirectory())
                          .toUtf8());
        wrapper.close();
        QVERIFY(wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        DaemonProcessControllerOptions options;
        options.bundlePath = m_bundle->path();
        options.stateDirectory = stateDirectory();
        options.standardOutputLog = outLog();
        options.standardErrorLog = m_scratch->path() + QStringLiteral("/err.log");
        m_controller = std::make_unique<DaemonProcessController>(options);
    }

    void cleanup() {
        if (m_controller)
            QCoro::waitFor(m_controller->stopChildOnQuit());
    }

    void startsAServerThatAcceptsTheAdminPasswordItWasGiven() {
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("correct horse battery staple")));
        const QUrl url = waitForListening();
        QVERIFY(url.isValid() && !url.isEmpty());
        DaemonClient client(url, QStringLiteral("correct horse battery staple"));
        QVERIFY(QCoro::waitFor(client.health()));
        const auto status = QCoro::waitFor(client.status());
        QVERIFY2(status, failureOf(status).constData());

        DaemonClient stranger(url, QStringLiteral("wrong password"));
        const auto refused = QCoro::waitFor(stranger.status());
        QVERIFY(!refused);
        QVERIFY(refused.error().is<DaemonClientError::Unauthenticated>());
    }

    void aSecondStartAdoptsTheServingProcess() {
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("first-password-here")));
        const QUrl url = waitForListening();
        QVERIFY(url.isValid() && !url.isEmpty());
        const auto pid = m_controller->pid();
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("second-password")));
        QCOMPARE(m_controller->pid(), pid);
        DaemonClient client(url, QStringLiteral("first-password-here"));
        QVERIFY(QCoro::waitFor(client.status())); // the password file was left alone
    }

    void stopEndsTheServerAndFreesItsPort() {
        QVERIFY(m_controller->launchChildProcess(QStringLiteral("a-password-for-stop")));
        const QUrl url = waitForListening();
        QVERIFY(url.isValid() && !url.isEmpty());
        const qint32 pid = m_controller->pid().value_or(-1);
        DaemonClient client(url, QStringLiteral("a-password-for-stop"));
        QVERIFY(QCoro::waitFor(client.health()));
        const auto stopped = QCoro::waitFor(m_controller->stop());
        QVERIFY(stopped);
        QVERIFY(!m_controller->isRunning());
        QVERIFY(processGone(pid));
        QVERIFY(!QCoro::waitFor(client.health()));
    }
};

QTEST_GUILESS_MAIN(ControllerWithServerTest)
#include "ControllerWithServerTest.moc"
