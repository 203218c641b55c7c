#pragma once

// A blocking HTTP/1.1 exchange over a plain socket, for what the admin client does not cover:
// the inference surface, raw status codes and headers, and a chosen source address (a client
// on 127.0.0.2 to test the IP allowlist). Safe to call from several threads at once.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <expected>
#include <optional>

namespace tavrin::test {

struct HttpAnswer {
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body; // de-chunked

    std::optional<QByteArray> header(QByteArrayView name) const;
};

struct HttpCall {
    HttpCall(QByteArray method, QByteArray target) : method(std::move(method)), target(std::move(target)) {}

    QByteArray method;
    QByteArray target;
    QList<QPair<QByteArray, QByteArray>> headers;
    std::optional<QByteArray> body;
    QString sourceAddress; // empty: the system's choice
    QString host = QStringLiteral("127.0.0.1");
    int patienceMs = 30000; // for the connection and for each read of the answer

    HttpCall& bearer(const QString& token);
    HttpCall& json(const QByteArray& bytes);
    HttpCall& header(const QByteArray& name, const QByteArray& value);
};

std::expected<HttpAnswer, QString> exchange(quint16 port, const HttpCall& call);

// A port of 127.0.0.1 that nothing listens on at this moment.
quint16 freeLoopbackPort();

} // namespace tavrin::test
