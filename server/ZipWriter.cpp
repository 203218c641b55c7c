#include "server/ZipWriter.h"

#include "server/Files.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr quint32 localHeaderSignature = 0x04034b50;
constexpr quint32 centralHeaderSignature = 0x02014b50;
constexpr quint32 endSignature = 0x06054b50;
constexpr quint16 utf8Names = 1 << 11;
constexpr quint16 deflated = 8;
constexpr quint16 version = 20;

void le16(QByteArray& out, quint16 v) {
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}
void le32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

} // namespace

ZipWriter::~ZipWriter() {
    if (m_streamReady)
        deflateEnd(&m_stream);
    if (m_fd >= 0) {
        ::close(m_fd);
        QFile::remove(m_path); // never finished: no half archive is left behind
    }
}

std::expected<void, QString> ZipWriter::open(const QString& path) {
    m_path = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return std::unexpected(QStringLiteral("cannot create %1: %2").arg(path, errnoText()));
    const QDateTime now = QDateTime::currentDateTime();
    m_dosTime = quint16((now.time().hour() << 11) | (now.time().minute() << 5) | (now.time().second() / 2));
    m_dosDate = quint16(((now.date().year() - 1980) << 9) | (now.date().month() << 5) | now.date().day());
    return {};
}

std::expected<void, QString> ZipWriter::put(const void* data, std::size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::write(m_fd, p, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::unexpected(QStringLiteral("cannot write %1: %2").arg(m_path, errnoText()));
        p += n;
        length -= std::size_t(n);
        m_offset += quint64(n);
    }
    if (m_offset > std::numeric_limits<quint32>::max())
        return std::unexpected(QStringLiteral("%1 would exceed 4 GiB").arg(m_path));
    return {};
}

std::expected<void, QString> ZipWriter::begin(const QString& name) {
    Entry entry;
    entry.name = name.toUtf8();
    entry.offset = quint32(m_offset);
    QByteArray header;
    le32(header, localHeaderSignature);
    le16(header, version);
    le16(header, utf8Names);
    le16(header, deflated);
    le16(header, m_dosTime);
    le16(header, m_dosDate);
    le32(header, 0); // CRC and sizes are filled in by end()
    le32(header, 0);
    le32(header, 0);
    le16(header, quint16(entry.name.size()));
    le16(header, 0);
    header += entry.name;
    m_entries.push_back(entry);
    m_stream = z_stream{};
    if (deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::unexpected(QStringLiteral("cannot start compressing"));
    m_streamReady = true;
    m_inEntry = true;
    return put(header.constData(), std::size_t(header.size()));
}

std::expected<void, QString> ZipWriter::deflateSome(int flush) {
    unsigned char out[64 * 1024];
    Entry& entry = m_entries.back();
    do {
        m_stream.next_out = out;
        m_stream.avail_out = sizeof out;
        const int rc = deflate(&m_stream, flush);
        if (rc == Z_STREAM_ERROR)
            return std::unexpected(QStringLiteral("compression failed"));
        const std::size_t produced = sizeof out - m_stream.avail_out;
        entry.compressed += quint32(produced);
        if (auto written = put(out, produced); !written)
            return written;
    } while (m_stream.avail_out == 0);
    return {};
}

std::expected<void, QString> ZipWriter::write(std::string_view data) {
    Entry& entry = m_entries.back();
    entry.crc = quint32(crc32(entry.crc, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    entry.size += quint32(data.size());
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    m_stream.avail_in = uInt(data.size());
    return deflateSome(Z_NO_FLUSH);
}

std::expected<void, QString> ZipWriter::end() {
    if (auto flushed = deflateSome(Z_FINISH); !flushed)
        return flushed;
    deflateEnd(&m_stream);
    m_streamReady = false;
    m_inEntry = false;
    const Entry& entry = m_entries.back();
    QByteArray fields;
    le32(fields, entry.crc);
    le32(fields, entry.compressed);
    le32(fields, entry.size);
    if (::pwrite(m_fd, fields.constData(), std::size_t(fields.size()), off_t(entry.offset + 14)) != fields.size())
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(m_path, errnoText()));
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
    const quint64 directoryStart = m_offset;
    for (const Entry& entry : m_entries) {
        QByteArray header;
        le32(header, centralHeaderSignature);
        le16(header, quint16((3 << 8) | version)); // made on Unix, so the mode below counts
        le16(header, version);
        le16(header, utf8Names);
        le16(header, deflated);
        le16(header, m_dosTime);
        le16(header, m_dosDate);
        le32(header, entry.crc);
        le32(header, entry.compressed);
        le32(header, entry.size);
        le16(header, quint16(entry.name.size()));
        le16(header, 0); // extra
        le16(header, 0); // comment
        le16(header, 0); // disk
        le16(header, 0); // internal attributes
        le32(header, 0100600u << 16); // a regular file, 0600, when extracted
        le32(header, entry.offset);
        header += entry.name;
        if (auto written = put(header.constData(), std::size_t(header.size())); !written)
            return written;
    }
    QByteArray end;
    le32(end, endSignature);
    le16(end, 0);
    le16(end, 0);
    le16(end, quint16(m_entries.size()));
    le16(end, quint16(m_entries.size()));
    le32(end, quint32(m_offset - directoryStart));
    le32(end, quint32(directoryStart));
    le16(end, 0);
    if (auto written = put(end.constData(), std::size_t(end.size())); !written)
        return written;
    if (::fsync(m_fd) != 0)
        return std::unexpected(QStringLiteral("cannot flush %1: %2").arg(m_path, errnoText()));
    ::close(m_fd);
    m_fd = -1;
    return {};
}

} // namespace tavrin
