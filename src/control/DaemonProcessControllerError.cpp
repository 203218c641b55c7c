#include "control/DaemonProcessControllerError.h"

namespace tavrin {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };

} // namespace

QString DaemonProcessControllerError::message() const {
    return std::visit(
        Overloaded{
            [](const DaemonBinaryMissing& e) {
                return QStringLiteral("tavrin-server binary not found at ") + e.path +
                       QStringLiteral(". Reinstall Tavrin Keldmarch.");
            },
            [](const WrongAppLocation& e) {
                return QStringLiteral(
                           "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at ") +
                       e.path + QStringLiteral(". Move it to /opt/tavrin-keldmarch and re-run setup.");
            },
            [](const RegistrationFailed& e) {
                return QStringLiteral("Could not start the background service: ") + e.text;
            },
            [](const SecretWriteFailed& e) {
                return QStringLiteral("Could not save the admin password: ") + e.text;
            },
            [](const StopFailed& e) { return QStringLiteral("Could not stop the background service: ") + e.text; },
        },
        m_case);
}

} // namespace tavrin
