#pragma once

#include <QString>

#include <expected>
#include <string>

namespace tavrin {

// The file that holds an upstream engine's API key, named by the engine settings. Like
// "admin.secret", it must be the user's own regular file that nobody else may read or change: a key
// others can read is no longer secret, and a file someone else can change lets them choose where
// the key's requests go. It is opened without following a link and without blocking (a FIFO
// planted under its name cannot hang the server), read up to `maxBytes`, and trimmed of white space
// at either end. The key read goes to the engine alone: never into settings, a log or an answer.
class EngineKeyFile {
public:
    static constexpr qint64 maxBytes = 4096;

    // The key, or why not, in words that never hold any of the file's contents.
    // `path` is absolute, as the engine settings are validated to hold.
    static std::expected<std::string, QString> read(const QString& path);
};

} // namespace tavrin
