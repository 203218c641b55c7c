#include "ui/tabs/KeysTabLogic.h"

#include <algorithm>
#include <array>

namespace tavrin {

QString keyCountLine(const ClientAPIKeyList& keys) {
    const auto active = std::ranges::count_if(keys, &ClientAPIKeyPublic::isActive);
    const auto other = qsizetype(keys.size()) - active;
    return QString::number(active) + QStringLiteral(" of ") + QStringLiteral("unlimited") +
           QStringLiteral(" active · ") + QString::number(other) + QStringLiteral(" revoked · ") +
           QString::number(keys.size()) + QStringLiteral(" total");
}

QString keyLabelPlaceholder() { return QStringLiteral("e.g. Quillterm — Maya's laptop"); }

QString noKeysText() { return QStringLiteral("No keys yet. Create one above."); }

std::span<const ScopeChoice> scopeChoices() {
    static const std::array<ScopeChoice, 2> choices{{
        {ClientAPIKeyScope::inference, QStringLiteral("Inference"),
         QStringLiteral("Can call /v1/chat/completions, /v1/models, /api/chat, /api/generate.")},
        {ClientAPIKeyScope::readonly, QStringLiteral("Read-only"),
         QStringLiteral("Can list models but cannot generate text. Useful for monitoring or audit-only integrations.")},
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
        .status = active ? QStringLiteral("Active") : QStringLiteral("Revoked"),
        .statusKind = active ? PillKind::ok : PillKind::muted,
        .scope = scope,
        .usage = {key.prefix + QStringLiteral("…"),
                  QStringLiteral("Last used ") + key.lastUsedAt.value_or(QStringLiteral("never")),
                  QString::asprintf("%lld", static_cast<long long>(key.totalRequests)) + QStringLiteral(" requests")},
        .revocable = active,
    };
}

} // namespace tavrin
