#pragma once

#include <QByteArray>
#include <QString>

#include <expected>

namespace tavrin {

// A file-system failure, worded the way command-line tools word it: "<path>: <reason>".
struct FileError {
    QString path;
    QString reason;
    int code = 0; // errno
    QString message() const { return path + QStringLiteral(": ") + reason; }
    static FileError fromErrno(QString path, int error);
};

// Creates `path` with every missing parent.
std::expected<void, FileError> makeDirectories(const QString& path);

// Replaces `path` so that a reader sees either the old file or the whole new one, even after a
// crash or a power cut, and so that the bytes are never readable by anyone else, not even for a
// moment: the temporary file (hidden, beside the target) is created 0600 whatever the umask says,
// before the first byte is written; it is synced, renamed over the target, and the folder synced.
std::expected<void, FileError> writeFilePrivately(const QString& path, const QByteArray& content);

// Syncs a folder's entries, so that a rename into it survives a power cut. Best effort.
void syncDirectory(const QString& directory);

} // namespace tavrin
