#pragma once

// Another user's program listening on this machine (tests/support/foreign-listener.cpp, run as
// "nobody"): a TCP listener on 127.0.0.1 or [::] that answers every request 200, or a local socket. It
// needs root to become that user; available() says whether this run can have one.

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <memory>

namespace tavrin::test {

class ForeignListener {
public:
    static constexpr int nobody = 65534;

    static bool available();
    // Starts it; false (and nothing running) when it did not come up.
    bool listenTcp();
    // On [::] at `port` (0: any free one), IPv6-only or taking IPv4 as well.
    bool listenTcp6(quint16 port, bool v6only);
    bool listenLocal(const QString& path);
    ~ForeignListener();

    quint16 port() const { return m_port; }
    // Everything that reached it so far: the heads of the requests, or what local peers sent.
    QByteArray received();

private:
    bool start(const QStringList& arguments, const QByteArray& firstLine);

    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    quint16 m_port = 0;
};

} // namespace tavrin::test
