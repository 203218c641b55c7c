#pragma once

#include <QString>

namespace tavrin {

// A fresh admin password: 32 bytes from the system's secure random source in URL-safe Base64 without
// padding, so 43 characters carrying 256 bits.
QString generateAdminSecret();

// The fewest user-perceived characters a typed admin password may have.
inline constexpr int minimumAdminPasswordLength = 16;

// User-perceived characters (grapheme clusters): an emoji with its modifiers counts once.
int perceivedLength(const QString& text);

// A password the user types instead of the generated one: 16 or more user-perceived characters,
// and a confirmation that matches exactly (case-sensitive, untrimmed). Nothing else is required.
bool isAcceptableAdminPassword(const QString& password, const QString& confirmation);

// Whether "Passwords don't match." is due: only once something has been typed.
bool adminPasswordsMismatch(const QString& password, const QString& confirmation);

} // namespace tavrin
