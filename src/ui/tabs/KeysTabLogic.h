#pragma once

#include "protocol/ClientRecords.h"
#include "ui/kit/KeyListRow.h"

#include <QString>

#include <span>

namespace tavrin {

// What the API Keys tab shows, decided from the model's keys without a window.

// "2 of unlimited active · 1 revoked · 3 total": only a status of exactly "active" counts as active.
QString keyCountLine(const ClientAPIKeyList& keys);

QString keyLabelPlaceholder();
QString noKeysText();

struct ScopeChoice {
    ClientAPIKeyScope scope;
    QString label;
    QString description;
};
// The scopes a new key may have, in the picker's order; the first is the one a new key starts with.
std::span<const ScopeChoice> scopeChoices();

// A key's row: its pills, its usage line and whether it can still be revoked.
KeyListRowContent keyRowContent(const ClientAPIKeyPublic& key);

} // namespace tavrin
