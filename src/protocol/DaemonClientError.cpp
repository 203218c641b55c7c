#include "protocol/DaemonClientError.h"

namespace tavrin {

namespace {
template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;
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
                      },
                      m_case);
}

} // namespace tavrin
