#include "ui/window/AdminTab.h"

namespace tavrin {

QString adminTabLabel(AdminTab tab) {
    switch (tab) {
    case AdminTab::status:
        return QStringLiteral("Status");
    case AdminTab::keys:
        return QStringLiteral("API Keys");
    case AdminTab::models:
        return QStringLiteral("Models");
    case AdminTab::logs:
        return QStringLiteral("Logs");
    case AdminTab::network:
        return QStringLiteral("Network");
    case AdminTab::orgPreamble:
        return QStringLiteral("Org Preamble");
    case AdminTab::updates:
        return QStringLiteral("Updates");
    case AdminTab::diagnostics:
        return QStringLiteral("Diagnostics");
    }
    return {};
}

QString adminTabSymbol(AdminTab tab) {
    switch (tab) {
    case AdminTab::status:
        return QStringLiteral("gauge.medium");
    case AdminTab::keys:
        return QStringLiteral("key.fill");
    case AdminTab::models:
        return QStringLiteral("cube.box");
    case AdminTab::logs:
        return QStringLiteral("list.bullet.rectangle");
    case AdminTab::network:
        return QStringLiteral("network");
    case AdminTab::orgPreamble:
        return QStringLiteral("checkmark.seal");
    case AdminTab::updates:
        return QStringLiteral("arrow.down.circle");
    case AdminTab::diagnostics:
        return QStringLiteral("stethoscope");
    }
    return {};
}

TabHeading adminTabHeading(AdminTab tab) {
    switch (tab) {
    case AdminTab::status:
        return {QStringLiteral("Server"), QStringLiteral("Tavrin Keldmarch"),
                QStringLiteral("Tools to start, monitor, and tune the Tavrin server running on this Mac.")};
    case AdminTab::keys:
        return {QStringLiteral("Access"), QStringLiteral("API keys"),
                QStringLiteral("Every request to your server needs a key. Keys are shown once when you make "
                               "them — we only keep a hashed copy.")};
    case AdminTab::models:
        return {QStringLiteral("Engine"), QStringLiteral("Models"),
                QStringLiteral("Tavrin runs one model at a time. The free Tavrin app delivers updates, and "
                               "you decide when production switches.")};
    case AdminTab::logs:
        return {QStringLiteral("Auditing"), QStringLiteral("What this server remembers"),
                QStringLiteral("Tavrin doesn't log anything by default. Turn on logging only if you need "
                               "request metadata for billing or compliance.")};
    case AdminTab::network:
        return {QStringLiteral("Exposure"), QStringLiteral("Who can reach this server?"), {}};
    case AdminTab::orgPreamble:
        return {QStringLiteral("Policy"), QStringLiteral("Org preamble"),
                QStringLiteral("One instruction, prepended to every request this server answers.")};
    case AdminTab::updates:
        return {QStringLiteral("Maintenance"), QStringLiteral("Updates"),
                QStringLiteral("Tavrin Keldmarch ships through a signed channel. Every release carries an "
                               "ed25519 signature — the server refuses anything that doesn't verify.")};
    case AdminTab::diagnostics:
        return {
            QStringLiteral("Maintenance"), QStringLiteral("Diagnostics"),
            QStringLiteral("Tools for when something is wrong. Most of these you'll never need to touch.")};
    }
    return {};
}

} // namespace tavrin
