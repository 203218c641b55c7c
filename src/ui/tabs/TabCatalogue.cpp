#include "ui/tabs/TabCatalogue.h"

#include "ui/tabs/DiagnosticsTab.h"
#include "ui/tabs/KeysTab.h"
#include "ui/tabs/ModelsTab.h"
#include "ui/tabs/LogsTab.h"
#include "ui/tabs/NetworkTab.h"
#include "ui/tabs/OrgPreambleTab.h"
#include "ui/tabs/StatusTab.h"
#include "ui/tabs/UpdatesTab.h"

#include <QCoreApplication>

#include <vector>

namespace tavrin {

namespace {

template <class Screen> QWidget* make(ServerStateModel* state, const ScreenHeading& heading) {
    return new Screen(state, heading);
}

// The sidebar reads the label in the user's language; what a program reads (a rendered screen's file
// name) keeps the English one.
AdminScreen entry(const char* label, QString symbol, ScreenHeading heading,
                  QWidget* (*build)(ServerStateModel*, const ScreenHeading&)) {
    return {QCoreApplication::translate("TabCatalogue", label), std::move(symbol), std::move(heading), build,
            QString::fromUtf8(label)};
}

const std::vector<AdminScreen>& catalogue() {
    static const std::vector<AdminScreen> tabs{
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Status"), QStringLiteral("gauge.medium"),
              {QCoreApplication::translate("TabCatalogue", "Server"), QStringLiteral("Tavrin Keldmarch"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Tools to start, monitor, and tune the Tavrin server running on this computer.")},
              make<StatusTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "API Keys"), QStringLiteral("key.fill"),
              {QCoreApplication::translate("TabCatalogue", "Access"),
               QCoreApplication::translate("TabCatalogue", "API keys"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Every request to your server needs a key. Keys are shown once when you make them — we "
                   "only keep a hashed copy.")},
              make<KeysTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Models"), QStringLiteral("cube.box"),
              {QCoreApplication::translate("TabCatalogue", "Engine"),
               QCoreApplication::translate("TabCatalogue", "Models"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Tavrin runs one model at a time. The free Tavrin app delivers updates, and you decide "
                   "when production switches.")},
              make<ModelsTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Logs"), QStringLiteral("list.bullet.rectangle"),
              {QCoreApplication::translate("TabCatalogue", "Auditing"),
               QCoreApplication::translate("TabCatalogue", "What this server remembers"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Tavrin doesn't log anything by default. Turn on logging only if you need request "
                   "metadata for billing or compliance.")},
              make<LogsTab>),
        entry(
            QT_TRANSLATE_NOOP("TabCatalogue", "Network"), QStringLiteral("network"),
            {QCoreApplication::translate("TabCatalogue", "Exposure"),
             QCoreApplication::translate("TabCatalogue", "Who can reach this server?"),
             QCoreApplication::translate(
                 "TabCatalogue",
                 "Localhost is always on. LAN access requires explicit opt-in. The public internet is never "
                 "recommended — use Tailscale or another VPN for remote staff.")},
            make<NetworkTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Org Preamble"), QStringLiteral("checkmark.seal"),
              {QCoreApplication::translate("TabCatalogue", "Policy"),
               QCoreApplication::translate("TabCatalogue", "Org preamble"),
               QCoreApplication::translate(
                   "TabCatalogue", "One instruction, prepended to every request this server answers.")},
              make<OrgPreambleTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Updates"), QStringLiteral("arrow.down.circle"),
              {QCoreApplication::translate("TabCatalogue", "Maintenance"),
               QCoreApplication::translate("TabCatalogue", "Updates"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Tavrin Keldmarch ships through a signed channel. Every release carries an ed25519 "
                   "signature — the server refuses anything that doesn't verify.")},
              make<UpdatesTab>),
        entry(QT_TRANSLATE_NOOP("TabCatalogue", "Diagnostics"), QStringLiteral("stethoscope"),
              {QCoreApplication::translate("TabCatalogue", "Maintenance"),
               QCoreApplication::translate("TabCatalogue", "Diagnostics"),
               QCoreApplication::translate(
                   "TabCatalogue",
                   "Tools for when something is wrong. Most of these you'll never need to touch.")},
              make<DiagnosticsTab>),
    };
    return tabs;
}

} // namespace

std::span<const AdminScreen> adminTabs() { return catalogue(); }

const AdminScreen& adminTab(AdminTab tab) { return catalogue().at(std::size_t(tab)); }

} // namespace tavrin
