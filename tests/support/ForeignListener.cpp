#include "support/ForeignListener.h"

#include <QFileInfo>

#include <unistd.h>

namespace tavrin::test {

namespace {

QString program() { return qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/tests/bin/foreign-listener"); }

} // namespace

bool ForeignListener::available() { return ::geteuid() == 0 && QFileInfo(program()).isExecutable(); }

ForeignListener::~ForeignListener() {
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool ForeignListener::start(const QStringList& arguments, const QByteArray& firstLine) {
    m_process = std::make_unique<QProcess>();
    m_process->start(program(), arguments);
    if (!m_process->waitForStarted(5000))
        return false;
    while (!m_output.contains('\n') && m_process->waitForReadyRead(5000))
        m_output += m_process->readAllStandardOutput();
    const QByteArray line = m_output.left(m_output.indexOf('\n'));
    m_output.remove(0, line.size() + 1);
    if (!line.startsWith(firstLine)) {
        m_process->kill();
        m_process->waitForFinished(5000);
        m_process.reset();
        return false;
    }
    m_port = quint16(line.mid(firstLine.size()).trimmed().toUInt());
    return true;
}

bool ForeignListener::listenTcp() { return start({QStringLiteral("tcp"), QString::number(nobody)}, "port "); }

bool ForeignListener::listenTcp6(quint16 port, bool v6only) {
    return start({QStringLiteral("tcp6"), QString::number(nobody), QString::number(port),
                  v6only ? QStringLiteral("v6only") : QStringLiteral("dual")},
                 "port ");
}

bool ForeignListener::listenLocal(const QString& path) {
    return start({QStringLiteral("unix"), QString::number(nobody), path}, "ready");
}

QByteArray ForeignListener::received() {
    if (m_process) {
        m_process->waitForReadyRead(200);
        m_output += m_process->readAllStandardOutput();
    }
    return m_output;
}

} // namespace tavrin::test
