#include "protocol/DaemonClientError.h"

namespace tavrin {

namespace {
template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// Limits are whole KiB or MiB.
QString sizeText(qint64 bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}
} // namespace

QString DaemonClientError::message() const {
    return std::visit(Overloaded{
                          [](const NotReachable& e) {
                              return QStringLiteral("Tavrin Keldmarch is not reachable: ") + e.message;
                          },
                          [](const DecodeFailed& e) {
                              return QStringLiteral("Could not decode server response: ") + e.message;
                          },
                          [](const Http& e) {
                              return QStringLiteral("Server returned HTTP ") + QString::number(e.status) +
                                     QStringLiteral(": ") + e.body;
                          },
                          [](const Unauthenticated&) {
                              return QStringLiteral("Admin secret missing or rejected. Set it in Settings.");
                          },
                          [](const ListenerNotOurs& e) { return e.message; },
                          [](const TooLarge& e) {
                              return QStringLiteral("The server's answer was too large (over %1).").arg(sizeText(e.limit));
                          },
                      },
                      m_case);
}

} // namespace tavrin
