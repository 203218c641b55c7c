#pragma once

#include <QString>

namespace tavrin {

// A fresh admin password: 32 bytes from the system's secure random source in URL-safe Base64 without
// padding, so 43 characters carrying 256 bits.
QString generateAdminSecret();

// The fewest user-perceived characters a typed admin password may have.
inline constexpr int minimumAdminPasswordLength = 16;

// A password the user types instead of the generated one: 16 or more user-perceived characters,
// and a confirmation that matches exactly (case-sensitive, untrimmed). Nothing else is required.
// The characters are counted in the password as the server will hold it, without the white space
// at its ends (the one trim rule of AdminSecretFile): sixteen spaces are no password at all, and
// would lock the panel out of its own server.
bool isAcceptableAdminPassword(const QString& password, const QString& confirmation);

} // namespace tavrin
