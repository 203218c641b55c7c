#pragma once

#include <QString>

#include <string>

namespace tavrin {

// The admin password, as the panel keeps it in "admin.secret". The file is read for every
// admin request, so a password the panel rewrites (or deletes) applies at once, without a
// restart. No file, or one holding only whitespace, means no password: nothing is accepted.
class AdminSecret {
public:
    explicit AdminSecret(QString path) : m_path(std::move(path)) {}

    static constexpr const char* fileName = "admin.secret";

    // `authorization` is the request's Authorization header, "Bearer <password>".
    bool accepts(const std::string& authorization) const;

private:
    QString m_path;
};

} // namespace tavrin
