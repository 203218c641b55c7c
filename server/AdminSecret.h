#pragma once

#include "base/AdminSecretFile.h"

#include <string>

namespace tavrin {

// The admin password, as the panel keeps it in "admin.secret". The file is read for every
// admin request, so a password the panel rewrites (or deletes) applies at once, without a
// restart. No file, or one holding only white space, means no password: nothing is accepted.
class AdminSecret {
public:
    explicit AdminSecret(QString stateDirectory) : m_file(std::move(stateDirectory)) {}

    // `authorization` is the request's Authorization header, "Bearer <password>"; the password
    // presented is trimmed by the same rule as the file.
    bool accepts(const std::string& authorization) const;

private:
    AdminSecretFile m_file;
};

} // namespace tavrin
