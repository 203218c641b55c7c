#include "server/support/ZipWriter.h"

#include "server/support/Files.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <ctime>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace tavrin {

ZipWriter::~ZipWriter() {
    if (m_archive)
        archive_write_free(m_archive);
    if (m_fd >= 0) {
        ::close(m_fd);
        QFile::remove(m_path); // never finished: no half archive is left behind
    }
}

std::expected<void, QString> ZipWriter::failure(const QString& what) const {
    const char* reason = m_archive ? archive_error_string(m_archive) : nullptr;
    return std::unexpected(QStringLiteral("cannot %1 %2: %3")
                               .arg(what, m_path, reason ? QString::fromUtf8(reason) : QStringLiteral("unknown error")));
}

std::expected<void, QString> ZipWriter::open(const QString& path) {
    m_path = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return std::unexpected(QStringLiteral("cannot create %1: %2").arg(path, errnoText()));
    m_archive = archive_write_new();
    if (!m_archive || archive_write_set_format_zip(m_archive) != ARCHIVE_OK ||
        archive_write_zip_set_compression_deflate(m_archive) != ARCHIVE_OK ||
        // Names are UTF-8 and flagged so, whatever the server's locale.
        archive_write_set_options(m_archive, "zip:hdrcharset=UTF-8") != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(m_archive, 1) != ARCHIVE_OK ||
        archive_write_open_fd(m_archive, m_fd) != ARCHIVE_OK)
        return failure(QStringLiteral("write"));
    return {};
}

std::expected<void, QString> ZipWriter::begin(const QString& name) {
    const std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0600);
    archive_entry_set_mtime(entry.get(), std::time(nullptr), 0);
    // No size given: the entry streams, its sizes written after its data.
    if (archive_write_header(m_archive, entry.get()) != ARCHIVE_OK)
        return failure(QStringLiteral("write"));
    return {};
}

std::expected<void, QString> ZipWriter::write(std::string_view data) {
    while (!data.empty()) {
        const la_ssize_t n = archive_write_data(m_archive, data.data(), data.size());
        if (n < 0)
            return failure(QStringLiteral("write"));
        data.remove_prefix(std::size_t(n));
    }
    return {};
}

std::expected<void, QString> ZipWriter::end() {
    if (archive_write_finish_entry(m_archive) != ARCHIVE_OK)
        return failure(QStringLiteral("write"));
    return {};
}

std::expected<void, QString> ZipWriter::add(const QString& name, std::string_view data) {
    if (auto started = begin(name); !started)
        return started;
    if (auto written = write(data); !written)
        return written;
    return end();
}

std::expected<void, QString> ZipWriter::finish() {
    if (archive_write_close(m_archive) != ARCHIVE_OK)
        return failure(QStringLiteral("write"));
    archive_write_free(m_archive);
    m_archive = nullptr;
    if (::fsync(m_fd) != 0)
        return std::unexpected(QStringLiteral("cannot flush %1: %2").arg(m_path, errnoText()));
    ::close(m_fd);
    m_fd = -1;
    return {};
}

} // namespace tavrin
