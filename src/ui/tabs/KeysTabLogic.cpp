#include "ui/tabs/KeysTabLogic.h"

#include "base/ShownFigures.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace tavrin {

QString keyCountLine(const ClientAPIKeyList& keys) {
    const auto active = std::ranges::count_if(keys, &ClientAPIKeyPublic::isActive);
    const auto other = qsizetype(keys.size()) - active;
    return QCoreApplication::translate("KeysTabLogic", "%1 of unlimited active · %2 revoked · %3 total")
        .arg(shownCount(active), shownCount(other), shownCount(qint64(keys.size())));
}

QString keyLabelPlaceholder() {
    return QCoreApplication::translate("KeysTabLogic", "e.g. Quillterm — Maya's laptop");
}

QString noKeysText() {
    return QCoreApplication::translate("KeysTabLogic", "No keys yet. Create one above.");
}

std::span<const ScopeChoice> scopeChoices() {
    static const std::array<ScopeChoice, 2> choices{{
        {ClientAPIKeyScope::inference, QCoreApplication::translate("KeysTabLogic", "Inference"),
         QCoreApplication::translate("KeysTabLogic",
                                     "Can call /v1/chat/completions, /v1/models, /api/chat, /api/generate.")},
        {ClientAPIKeyScope::readonly, QCoreApplication::translate("KeysTabLogic", "Read-only"),
         QCoreApplication::translate(
             "KeysTabLogic",
             "Can list models but cannot generate text. Useful for monitoring or audit-only integrations.")},
    }};
    return choices;
}

KeyListRowContent keyRowContent(const ClientAPIKeyPublic& key) {
    const bool active = key.isActive();
    QString scope;
    if (key.scopes && !key.scopes->empty())
        scope = rawValue(key.scopes->front());
    return {
        .label = key.label,
        .status = active ? QCoreApplication::translate("KeysTabLogic", "Active")
                         : QCoreApplication::translate("KeysTabLogic", "Revoked"),
        .statusKind = active ? PillKind::ok : PillKind::muted,
        .scope = scope,
        .usage = {key.prefix + QStringLiteral("…"),
                  QCoreApplication::translate("KeysTabLogic", "Last used %1")
                      .arg(key.lastUsedAt ? shownMoment(*key.lastUsedAt)
                                          : QCoreApplication::translate("KeysTabLogic", "never")),
                  //: %1 is the number of requests, written as the language writes numbers.
                  QCoreApplication::translate("KeysTabLogic", "%1 request(s)", nullptr, pluralCount(key.totalRequests))
                      .arg(shownCount(key.totalRequests))},
        .revocable = active,
    };
}

} // namespace tavrin
