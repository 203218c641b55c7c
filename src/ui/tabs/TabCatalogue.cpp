#include "ui/tabs/TabCatalogue.h"

#include "ui/tabs/DiagnosticsTab.h"
#include "ui/tabs/KeysTab.h"
#include "ui/tabs/ModelsTab.h"
#include "ui/tabs/LogsTab.h"
#include "ui/tabs/NetworkTab.h"
#include "ui/tabs/OrgPreambleTab.h"
#include "ui/tabs/StatusTab.h"
#include "ui/tabs/UpdatesTab.h"

#include <vector>

namespace tavrin {

namespace {

template <class Screen> QWidget* make(ServerStateModel* state, const ScreenHeading& heading) {
    return new Screen(state, heading);
}

const std::vector<AdminScreen>& catalogue() {
    static const std::vector<AdminScreen> tabs{
        {QStringLiteral("Status"), QStringLiteral("gauge.medium"),
         {QStringLiteral("Server"), QStringLiteral("Tavrin Keldmarch"),
          QStringLiteral("Tools to start, monitor, and tune the Tavrin server running on this computer.")},
         make<StatusTab>},
        {QStringLiteral("API Keys"), QStringLiteral("key.fill"),
         {QStringLiteral("Access"), QStringLiteral("API keys"),
          QStringLiteral("Every request to your server needs a key. Keys are shown once when you make them — we "
                         "only keep a hashed copy.")},
         make<KeysTab>},
        {QStringLiteral("Models"), QStringLiteral("cube.box"),
         {QStringLiteral("Engine"), QStringLiteral("Models"),
          QStringLiteral("Tavrin runs one model at a time. The free Tavrin app delivers updates, and you decide "
                         "when production switches.")},
         make<ModelsTab>},
        {QStringLiteral("Logs"), QStringLiteral("list.bullet.rectangle"),
         {QStringLiteral("Auditing"), QStringLiteral("What this server remembers"),
          QStringLiteral("Tavrin doesn't log anything by default. Turn on logging only if you need request "
                         "metadata for billing or compliance.")},
         make<LogsTab>},
        {QStringLiteral("Network"), QStringLiteral("network"),
         {QStringLiteral("Exposure"), QStringLiteral("Who can reach this server?"),
          QStringLiteral("Localhost is always on. LAN access requires explicit opt-in. The public internet is never "
                         "recommended — use Tailscale or another VPN for remote staff.")},
         make<NetworkTab>},
        {QStringLiteral("Org Preamble"), QStringLiteral("checkmark.seal"),
         {QStringLiteral("Policy"), QStringLiteral("Org preamble"),
          QStringLiteral("One instruction, prepended to every request this server answers.")},
         make<OrgPreambleTab>},
        {QStringLiteral("Updates"), QStringLiteral("arrow.down.circle"),
         {QStringLiteral("Maintenance"), QStringLiteral("Updates"),
          QStringLiteral("Tavrin Keldmarch ships through a signed channel. Every release carries an ed25519 "
                         "signature — the server refuses anything that doesn't verify.")},
         make<UpdatesTab>},
        {QStringLiteral("Diagnostics"), QStringLiteral("stethoscope"),
         {QStringLiteral("Maintenance"), QStringLiteral("Diagnostics"),
          QStringLiteral("Tools for when something is wrong. Most of these you'll never need to touch.")},
         make<DiagnosticsTab>},
    };
    return tabs;
}

} // namespace

std::span<const AdminScreen> adminTabs() { return catalogue(); }

const AdminScreen& adminTab(AdminTab tab) { return catalogue().at(std::size_t(tab)); }

} // namespace tavrin
