#pragma once

#include "base/PrivateFile.h"
#include "base/StateFolder.h"

#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

// The one rule for what surrounds an admin password and is not part of it: white space and line
// breaks at both ends, in Unicode's sense (a no-break space included). The panel applies it to the
// file it reads back and to the password it presents; the server to the file and to the password it
// is given. Since both sides trim alike, a password typed with a stray space, or ending in a
// no-break space, works the same before and after the panel reads it back from the file.
QString trimmedAdminSecret(const QString& secret);

// The admin password as the server reads it: "admin.secret" in the state folder, UTF-8, 0600.
class AdminSecretFile {
public:
    static constexpr const char* fileName = "admin.secret";

    explicit AdminSecretFile(QString folder = StateFolder::path());

    QString folder() const { return m_folder; }
    QString path() const;

    // The password by the trim rule; nothing when the file is missing, unreadable, larger than any
    // password, not UTF-8, or blank.
    std::optional<QString> read() const;
    // Writes the password exactly as given; the folder is made as needed and narrowed to 0700
    // (best effort), the file replaced privately.
    std::expected<void, FileError> write(const QString& secret) const;
    // Best effort: a missing file is fine, any other failure is ignored too.
    void remove() const;

private:
    QString m_folder;
};

} // namespace tavrin
