#pragma once

#include <QString>

#include <expected>
#include <string_view>

struct archive;

namespace tavrin {

// A zip archive written as it goes, through libarchive: each entry is deflated while its data
// arrives and its sizes follow it, so an entry of any size passes through a fixed buffer.
class ZipWriter {
public:
    ZipWriter() = default;
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Creates `path` with mode 0600; it must not exist.
    std::expected<void, QString> open(const QString& path);
    std::expected<void, QString> begin(const QString& name);
    std::expected<void, QString> write(std::string_view data);
    std::expected<void, QString> end();
    std::expected<void, QString> add(const QString& name, std::string_view data);
    // Writes the central directory and syncs the file. Until then, the file is removed when
    // the writer goes: a failure never leaves half an archive behind.
    std::expected<void, QString> finish();

private:
    std::expected<void, QString> failure(const QString& what) const;

    QString m_path;
    int m_fd = -1;
    struct archive* m_archive = nullptr;
};

} // namespace tavrin
