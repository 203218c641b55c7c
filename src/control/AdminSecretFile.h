#pragma once

#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

// A file-system failure, worded the way command-line tools word it: "<path>: <reason>".
struct FileError {
    QString path;
    QString reason;
    int code = 0; // errno
    QString message() const { return path + QStringLiteral(": ") + reason; }
    static FileError fromErrno(QString path, int error);
};

// The per-user folder the panel and the server share: $XDG_DATA_HOME/Tavrin Server.
namespace StateDirectory {
QString path();
} // namespace StateDirectory

// Writes `content` to `path` so that a reader sees either the old file or the whole new one, and so
// that the bytes are never readable by anyone else, not even for a moment: the temporary file is
// created 0600 before anything is written into it.
std::expected<void, FileError> writeFilePrivately(const QString& path, const QByteArray& content);

// Creates `path` with every missing parent.
std::expected<void, FileError> makeDirectories(const QString& path);

// The admin password as the server reads it: "admin.secret" in the state directory.
class AdminSecretFile {
public:
    enum class DirectoryMode {
        AsCreated, // the state model leaves the folder's mode alone
        OwnerOnly, // the service controller narrows it to 0700 (best effort)
    };

    explicit AdminSecretFile(QString stateDirectory = StateDirectory::path());

    QString stateDirectory() const { return m_stateDirectory; }
    QString path() const;

    // The secret, trimmed; nothing when the file is missing, unreadable, not UTF-8 or blank.
    std::optional<QString> read() const;
    std::expected<void, FileError> write(const QString& secret, DirectoryMode mode) const;
    // Best effort: a missing file is fine, any other failure is ignored too.
    void remove() const;

private:
    QString m_stateDirectory;
};

} // namespace tavrin
