#pragma once

#include <QString>

#include <expected>
#include <variant>

namespace tavrin {

// Every way a service operation can fail, whichever part of the controller failed it. message() is
// the exact text the user sees.
class DaemonProcessControllerError {
public:
    struct DaemonBinaryMissing {
        QString path;
        bool operator==(const DaemonBinaryMissing&) const = default;
    };
    struct WrongAppLocation {
        QString path;
        bool operator==(const WrongAppLocation&) const = default;
    };
    struct RegistrationFailed {
        QString text;
        bool operator==(const RegistrationFailed&) const = default;
    };
    struct SecretWriteFailed {
        QString text;
        bool operator==(const SecretWriteFailed&) const = default;
    };
    struct StopFailed {
        QString text;
        bool operator==(const StopFailed&) const = default;
    };
    using Case = std::variant<DaemonBinaryMissing, WrongAppLocation, RegistrationFailed, SecretWriteFailed, StopFailed>;

    static DaemonProcessControllerError daemonBinaryMissing(QString path) {
        return {DaemonBinaryMissing{std::move(path)}};
    }
    static DaemonProcessControllerError wrongAppLocation(QString path) {
        return {WrongAppLocation{std::move(path)}};
    }
    static DaemonProcessControllerError registrationFailed(QString text) {
        return {RegistrationFailed{std::move(text)}};
    }
    static DaemonProcessControllerError secretWriteFailed(QString text) {
        return {SecretWriteFailed{std::move(text)}};
    }
    static DaemonProcessControllerError stopFailed(QString text) { return {StopFailed{std::move(text)}}; }

    const Case& kind() const { return m_case; }
    template <class C> bool is() const { return std::holds_alternative<C>(m_case); }
    template <class C> const C* as() const { return std::get_if<C>(&m_case); }
    QString message() const;

    bool operator==(const DaemonProcessControllerError&) const = default;

private:
    DaemonProcessControllerError(Case c) : m_case(std::move(c)) {}
    Case m_case;
};

// What every part of the controller answers with.
template <class T = void> using ControllerResult = std::expected<T, DaemonProcessControllerError>;

} // namespace tavrin
