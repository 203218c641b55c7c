#include "control/DaemonProcessControllerError.h"

#include <QCoreApplication>

namespace tavrin {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };

} // namespace

QString DaemonProcessControllerError::message() const {
    return std::visit(
        Overloaded{
            [](const DaemonBinaryMissing& e) {
                return QCoreApplication::translate(
                           "DaemonProcessControllerError",
                           "tavrin-server binary not found at %1. Reinstall Tavrin Keldmarch.")
                    .arg(e.path);
            },
            [](const WrongAppLocation& e) {
                return QCoreApplication::translate(
                           "DaemonProcessControllerError",
                           "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at %1. "
                           "Move it to /opt/tavrin-keldmarch and re-run setup.")
                    .arg(e.path);
            },
            [](const RegistrationFailed& e) {
                return QCoreApplication::translate("DaemonProcessControllerError",
                                                   "Could not start the background service: %1")
                    .arg(e.text);
            },
            [](const SecretWriteFailed& e) {
                return QCoreApplication::translate("DaemonProcessControllerError",
                                                   "Could not save the admin password: %1")
                    .arg(e.text);
            },
            [](const StopFailed& e) {
                return QCoreApplication::translate("DaemonProcessControllerError",
                                                   "Could not stop the background service: %1")
                    .arg(e.text);
            },
        },
        m_case);
}

} // namespace tavrin
