#include "support/ScriptedSystemd.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QTest>

namespace tavrin::test {

namespace {

const QString name = QStringLiteral("org.freedesktop.systemd1");

bool onTheBus() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

QString program() {
    return qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/tests/bin/scripted-systemd");
}

} // namespace

bool ScriptedSystemd::start() {
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(program(), QStringList());
    if (m_process->waitForReadyRead(10'000) && m_process->readLine().trimmed() == "ready")
        return true;
    m_process->kill();
    m_process->waitForFinished();
    m_process.reset();
    return false;
}

ScriptedSystemd::~ScriptedSystemd() {
    if (!m_process)
        return;
    m_process->kill();
    m_process->waitForFinished();
    // The bus lets the name go once it has seen the connection close; the next test must not meet it.
    QDeadlineTimer deadline(10'000);
    while (onTheBus() && !deadline.hasExpired())
        QTest::qWait(10);
}

bool ScriptedSystemd::ended() const {
    return !m_process || m_process->state() == QProcess::NotRunning;
}

bool ScriptedSystemd::script(const QString& method, const QVariant& argument) {
    QDBusMessage call = QDBusMessage::createMethodCall(name, QStringLiteral("/script"),
                                                       QStringLiteral("com.tavrinai.test.ScriptedManager"), method);
    if (argument.isValid())
        call << argument;
    return QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage;
}

bool ScriptedSystemd::failStarts(bool fail) { return script(QStringLiteral("FailStart"), fail); }
bool ScriptedSystemd::crash(const QString& unit) { return script(QStringLiteral("Crash"), unit); }
bool ScriptedSystemd::vanishOn(const QString& method) { return script(QStringLiteral("VanishOn"), method); }

QStringList ScriptedSystemd::calls() {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        name, QStringLiteral("/script"), QStringLiteral("com.tavrinai.test.ScriptedManager"), QStringLiteral("Calls"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    return reply.arguments().value(0).toStringList();
}

} // namespace tavrin::test
