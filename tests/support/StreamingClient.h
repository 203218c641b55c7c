#pragma once

// A client on a plain socket that reads its answer as it arrives, for what exchange() cannot show:
// a streamed answer piece by piece, a request that is never finished, a client that stops reading
// or hangs up, and when the server closes the connection.

#include <QByteArray>
#include <QString>

namespace tavrin::test {

class StreamingClient {
public:
    // `receiveBuffer`: the kernel's buffer for what the client has not read yet (0: the system's).
    // `source`: the loopback address to call from, as different clients on this machine may.
    explicit StreamingClient(quint16 port, int receiveBuffer = 0, const char* source = nullptr);
    StreamingClient(StreamingClient&& other) noexcept;
    ~StreamingClient();

    bool send(QByteArrayView bytes);
    // A POST of the JSON `body` to `target`, with `key` as its bearer.
    bool send(const QByteArray& target, const QString& key, const QByteArray& body);
    // Reads until `text` has arrived after what the last such call found (true), or the connection
    // ends or nothing comes for `patienceMs` (0: takes only what is there already).
    bool readUntil(QByteArrayView text, int patienceMs = 20000);
    // Reads until the server closes the connection or ends the chunked answer.
    QByteArray readToEnd();
    // Whether the server closed its side, reading what comes until nothing does for `patienceMs`.
    bool closedByServer(int patienceMs = 20000);
    // Neither closed nor holding anything unread, now.
    bool open() const;
    void hangUp();
    const QByteArray& received() const { return m_received; }

private:
    bool readSome(int patienceMs);

    int m_fd = -1;
    bool m_eof = false;
    qsizetype m_found = 0; // where the next readUntil starts looking
    QByteArray m_received;
};

} // namespace tavrin::test
