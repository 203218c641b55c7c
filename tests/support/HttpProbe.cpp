#include "support/HttpProbe.h"

#include <QFile>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace tavrin::test {

std::optional<QByteArray> HttpAnswer::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

HttpCall& HttpCall::header(const QByteArray& name, const QByteArray& value) {
    headers.append(qMakePair(name, value));
    return *this;
}

HttpCall& HttpCall::bearer(const QString& token) { return header("Authorization", "Bearer " + token.toUtf8()); }

HttpCall& HttpCall::json(const QByteArray& bytes) {
    body = bytes;
    return header("Content-Type", "application/json");
}

namespace {

QByteArray dechunked(const QByteArray& raw) {
    QByteArray out;
    qsizetype at = 0;
    while (at < raw.size()) {
        const qsizetype eol = raw.indexOf("\r\n", at);
        if (eol < 0)
            break;
        bool ok = false;
        const qsizetype size = raw.mid(at, eol - at).split(';').first().trimmed().toLongLong(&ok, 16);
        if (!ok || size == 0)
            break;
        out += raw.mid(eol + 2, size);
        at = eol + 2 + size + 2;
    }
    return out;
}

} // namespace

std::expected<HttpAnswer, QString> exchange(quint16 port, const HttpCall& call) {
    QTcpSocket socket;
    if (!call.sourceAddress.isEmpty() && !socket.bind(QHostAddress(call.sourceAddress)))
        return std::unexpected(QStringLiteral("cannot bind to %1: %2").arg(call.sourceAddress, socket.errorString()));
    socket.connectToHost(QHostAddress(call.host), port);
    if (!socket.waitForConnected(std::min(5000, call.patienceMs)))
        return std::unexpected(QStringLiteral("cannot connect: %1").arg(socket.errorString()));

    // A Host of the call's own replaces the usual one.
    const bool ownHost = std::ranges::any_of(call.headers, [](const auto& h) { return h.first.compare("Host", Qt::CaseInsensitive) == 0; });
    QByteArray request = call.method + ' ' + call.target + " HTTP/1.1\r\n" + (ownHost ? "" : "Host: 127.0.0.1\r\n") +
                         "Connection: close\r\n";
    for (const auto& [key, value] : call.headers)
        request += key + ": " + value + "\r\n";
    if (call.body)
        request += "Content-Length: " + QByteArray::number(call.body->size()) + "\r\n";
    request += "\r\n";
    if (call.body)
        request += *call.body;
    socket.write(request);

    QByteArray raw;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(call.patienceMs))
        raw += socket.readAll();
    raw += socket.readAll();

    const qsizetype split = raw.indexOf("\r\n\r\n");
    if (split < 0)
        return std::unexpected(QStringLiteral("no complete HTTP answer: %1").arg(QString::fromUtf8(raw.left(200))));
    const QList<QByteArray> lines = raw.left(split).split('\n');
    HttpAnswer answer;
    answer.status = lines.first().split(' ').value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            answer.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    answer.body = raw.mid(split + 4);
    if (answer.header("Transfer-Encoding").value_or(QByteArray()).contains("chunked"))
        answer.body = dechunked(answer.body);
    return answer;
}

quint16 freeLoopbackPort() {
    // A port the kernel handed out for "any port" goes back into its pool the moment the probe closes,
    // and a test running beside this one (a server on port 0, an outgoing connection) may be given it
    // before the server meant for it binds it: the panel then finds a stranger there, with another
    // password. Ports below the kernel's own range are never handed out that way.
    int firstEphemeral = 32768;
    QFile range(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (range.open(QIODevice::ReadOnly))
        firstEphemeral = std::clamp(QString::fromLatin1(range.readAll()).simplified().section(u' ', 0, 0).toInt(),
                                    2048, 65535);
    const int lowest = std::max(1024, firstEphemeral / 2);
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = quint16(QRandomGenerator::global()->bounded(lowest, firstEphemeral));
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost, port))
            return port;
    }
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace tavrin::test
