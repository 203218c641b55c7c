#include "protocol/DaemonClientError.h"

#include "base/ShownFigures.h"

#include <QCoreApplication>

namespace tavrin {

namespace {
template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// Limits are whole KiB or MiB.
QString sizeText(qint64 bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QCoreApplication::translate("DaemonClientError", "%1 MiB").arg(shownCount(bytes / (1024 * 1024)));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QCoreApplication::translate("DaemonClientError", "%1 KiB").arg(shownCount(bytes / 1024));
    return QCoreApplication::translate("DaemonClientError", "%1 byte(s)", nullptr, pluralCount(bytes))
        .arg(shownCount(bytes));
}
} // namespace

QString DaemonClientError::message() const {
    return std::visit(
        Overloaded{
            [](const NotReachable& e) {
                return QCoreApplication::translate("DaemonClientError",
                                                   "Tavrin Keldmarch is not reachable: %1")
                    .arg(e.message);
            },
            [](const DecodeFailed& e) {
                return QCoreApplication::translate("DaemonClientError",
                                                   "Could not decode server response: %1")
                    .arg(e.message);
            },
            [](const Http& e) {
                return QCoreApplication::translate("DaemonClientError", "Server returned HTTP %1: %2")
                    .arg(e.status)
                    .arg(e.body);
            },
            [](const Unauthenticated&) {
                return QCoreApplication::translate("DaemonClientError",
                                                   "Admin secret missing or rejected. Set it in Settings.");
            },
            [](const ListenerNotOurs& e) { return e.message; },
            [](const TooLarge& e) {
                return QCoreApplication::translate("DaemonClientError",
                                                   "The server's answer was too large (over %1).")
                    .arg(sizeText(e.limit));
            },
        },
        m_case);
}

} // namespace tavrin
