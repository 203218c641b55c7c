#pragma once

#include <QString>

#include <variant>

namespace tavrin {

// Every way an admin operation can fail. message() is the exact text the user sees.
class DaemonClientError {
public:
    struct NotReachable {
        QString message;
        bool operator==(const NotReachable&) const = default;
    };
    struct DecodeFailed {
        QString message;
        bool operator==(const DecodeFailed&) const = default;
    };
    struct Http {
        int status = 0;
        QString body;
        bool operator==(const Http&) const = default;
    };
    struct Unauthenticated {
        bool operator==(const Unauthenticated&) const = default;
    };
    // The password was kept back: the program listening on the admin port is not this user's (or
    // who it is could not be told). The message is whole, as shown.
    struct ListenerNotOurs {
        QString message;
        bool operator==(const ListenerNotOurs&) const = default;
    };
    // The answer ran past what its record can ever need (`limit` bytes), and was not read further:
    // whoever sent it, it is no answer to keep in memory.
    struct TooLarge {
        qint64 limit = 0;
        bool operator==(const TooLarge&) const = default;
    };
    using Case = std::variant<NotReachable, DecodeFailed, Http, Unauthenticated, ListenerNotOurs, TooLarge>;

    static DaemonClientError notReachable(QString message) { return {NotReachable{std::move(message)}}; }
    static DaemonClientError decodeFailed(QString message) { return {DecodeFailed{std::move(message)}}; }
    static DaemonClientError http(int status, QString body) { return {Http{status, std::move(body)}}; }
    static DaemonClientError unauthenticated() { return {Unauthenticated{}}; }
    static DaemonClientError listenerNotOurs(QString message) { return {ListenerNotOurs{std::move(message)}}; }
    static DaemonClientError tooLarge(qint64 limit) { return {TooLarge{limit}}; }

    const Case& kind() const { return m_case; }
    template <class C> bool is() const { return std::holds_alternative<C>(m_case); }
    template <class C> const C* as() const { return std::get_if<C>(&m_case); }

    QString message() const;

    bool operator==(const DaemonClientError&) const = default;

private:
    DaemonClientError(Case c) : m_case(std::move(c)) {}
    Case m_case;
};

} // namespace tavrin
