#pragma once

#include "base/AdminSecretFile.h"

#include <atomic>
#include <string>

namespace tavrin {

// The admin password, as the panel keeps it in "admin.secret". The file is read for every
// admin request, so a password the panel rewrites (or deletes) applies at once, without a
// restart. No file, or one holding only white space, means no password: nothing is accepted.
// Nor is a file that other users may read or change, or that another user owns: the panel always
// writes it 0600, so such a file is not the panel's, or its password is no longer secret. The
// server's log says so, once for each such state of the file.
class AdminSecret {
public:
    explicit AdminSecret(QString stateDirectory) : m_file(std::move(stateDirectory)) {}
    AdminSecret(AdminSecret&& other) noexcept : m_file(std::move(other.m_file)) {}

    // `authorization` is the request's Authorization header, "Bearer <password>"; the password
    // presented is trimmed by the same rule as the file.
    bool accepts(const std::string& authorization) const;
    // Whether there is a password that accepts() could accept.
    bool isSet() const { return filePrivate() && m_file.read().has_value(); }

private:
    bool filePrivate() const;

    AdminSecretFile m_file;
    mutable std::atomic<quint64> m_reported{0}; // the refused state last logged, 0 for none
};

} // namespace tavrin
