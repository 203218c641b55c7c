#pragma once

#include <QByteArray>
#include <QString>

#include <zlib.h>

#include <expected>
#include <string_view>
#include <vector>

namespace tavrin {

// A zip archive written as it goes: each entry is deflated while its data arrives, and its
// local header is completed once the entry ends, so an entry of any size passes through a
// fixed buffer. No zip64: entries and the archive stay below 4 GiB.
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
    // Writes the central directory and syncs the file.
    std::expected<void, QString> finish();

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint32 compressed = 0;
        quint32 size = 0;
        quint32 offset = 0;
    };

    std::expected<void, QString> put(const void* data, std::size_t length);
    std::expected<void, QString> deflateSome(int flush);

    QString m_path;
    int m_fd = -1;
    quint64 m_offset = 0;
    std::vector<Entry> m_entries;
    bool m_inEntry = false;
    z_stream m_stream{};
    bool m_streamReady = false;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
};

} // namespace tavrin
