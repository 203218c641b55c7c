#pragma once

#include "base/PrivateFile.h" // syncDirectory

#include <QString>

#include <expected>
#include <functional>

namespace tavrin {

// SHA-256 of a file's bytes as lower-case hex, read in blocks so that a model of any size
// needs no more memory than one block.
std::expected<QString, QString> sha256OfFile(const QString& path);

// Copies `from` to `to` (created 0600, or failing if it exists), syncing the copy to disk.
std::expected<void, QString> copyFileSynced(const QString& from, const QString& to);

// Removes a directory tree; best-effort.
void removeTree(const QString& directory);

QString errnoText();

} // namespace tavrin
