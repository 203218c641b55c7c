#pragma once

#include "protocol/JsonCodec.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

// The server's state directory. Every file is replaced by writeFilePrivately, so a process
// killed at any instant leaves either the old or the new contents behind, never a mixture.
// Files are 0600 and the directory 0700: the state holds key hashes and settings that are
// nobody else's business.
class StateStore {
public:
    // Creates the directory (and its parents) when missing and tightens its mode.
    static std::expected<StateStore, QString> open(const QString& directory);

    const QString& directory() const { return m_directory; }
    QString pathOf(const QString& name) const;

    // nullopt when the file does not exist; an error when it exists but cannot be read.
    std::expected<std::optional<QByteArray>, QString> read(const QString& name) const;
    std::expected<void, QString> write(const QString& name, const QByteArray& bytes) const;

    // A missing file is not an error: the caller keeps its default.
    template <class T>
    std::expected<std::optional<T>, QString> load(const QString& name) const {
        auto bytes = read(name);
        if (!bytes)
            return std::unexpected(bytes.error());
        if (!*bytes)
            return std::optional<T>{};
        auto decoded = decodeJson<T>(**bytes);
        if (!decoded)
            return std::unexpected(QStringLiteral("%1 is damaged: %2").arg(pathOf(name), decoded.error().message()));
        return std::optional<T>{std::move(*decoded)};
    }

    template <class T>
    std::expected<void, QString> save(const QString& name, const T& value) const {
        return write(name, encodeJson(value));
    }

private:
    explicit StateStore(QString directory) : m_directory(std::move(directory)) {}
    QString m_directory;
};

} // namespace tavrin
