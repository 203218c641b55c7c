#include "server/updates/DebPackage.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace tavrin {

namespace {

// A control archive or file larger than these is no package's; nothing that size is read.
constexpr la_int64_t largestControlArchive = 4 * 1024 * 1024;
constexpr la_int64_t largestControlFile = 256 * 1024;

using Archive = std::unique_ptr<archive, decltype(&archive_read_free)>;

Archive newReader() { return Archive(archive_read_new(), archive_read_free); }

QString reasonOf(archive* a) {
    const char* reason = archive_error_string(a);
    return reason ? QString::fromLocal8Bit(reason) : QStringLiteral("unreadable archive");
}

// The current entry whole, if it is a regular file of at most `limit` bytes.
std::expected<QByteArray, QString> entryBytes(archive* a, archive_entry* entry, la_int64_t limit) {
    if (archive_entry_filetype(entry) != AE_IFREG || !archive_entry_size_is_set(entry) || archive_entry_size(entry) > limit)
        return std::unexpected(QStringLiteral("%1 is not a file of a sensible size").arg(QString::fromUtf8(archive_entry_pathname(entry))));
    QByteArray bytes(qsizetype(archive_entry_size(entry)), Qt::Uninitialized);
    if (archive_read_data(a, bytes.data(), std::size_t(bytes.size())) != la_ssize_t(bytes.size()))
        return std::unexpected(reasonOf(a));
    return bytes;
}

std::expected<QByteArray, QString> controlFile(const QByteArray& controlArchive) {
    Archive tar = newReader();
    archive_read_support_filter_all(tar.get());
    archive_read_support_format_tar(tar.get());
    if (archive_read_open_memory(tar.get(), controlArchive.constData(), std::size_t(controlArchive.size())) != ARCHIVE_OK)
        return std::unexpected(reasonOf(tar.get()));
    archive_entry* entry = nullptr;
    while (archive_read_next_header(tar.get(), &entry) == ARCHIVE_OK) {
        const QString name = QString::fromUtf8(archive_entry_pathname(entry));
        if (name == QLatin1StringView("./control") || name == QLatin1StringView("control"))
            return entryBytes(tar.get(), entry, largestControlFile);
    }
    return std::unexpected(QStringLiteral("its control archive holds no control file"));
}

} // namespace

std::expected<DebPackage, QString> DebPackage::read(const QString& path) {
    const auto fail = [&](const QString& why) {
        return std::unexpected(QStringLiteral("%1 is not a Debian package: %2").arg(path, why));
    };
    Archive ar = newReader();
    archive_read_support_format_ar(ar.get());
    if (archive_read_open_filename(ar.get(), QFile::encodeName(path).constData(), 64 * 1024) != ARCHIVE_OK)
        return fail(reasonOf(ar.get()));
    archive_entry* entry = nullptr;
    bool first = true;
    std::optional<QByteArray> control;
    for (int r; (r = archive_read_next_header(ar.get(), &entry)) != ARCHIVE_EOF; first = false) {
        if (r != ARCHIVE_OK)
            return fail(reasonOf(ar.get()));
        const QString name = QString::fromUtf8(archive_entry_pathname(entry));
        // dpkg insists on this order: the format's version first, then the control archive.
        if (first && name != QLatin1StringView("debian-binary"))
            return fail(QStringLiteral("it does not begin with debian-binary"));
        if (name.startsWith(QLatin1StringView("control.tar"))) {
            auto bytes = entryBytes(ar.get(), entry, largestControlArchive);
            if (!bytes)
                return fail(bytes.error());
            auto file = controlFile(*bytes);
            if (!file)
                return fail(file.error());
            control = std::move(*file);
            break;
        }
    }
    if (!control)
        return fail(QStringLiteral("it holds no control archive"));

    DebPackage package;
    // Fields are "Name: value" lines; a continuation line starts with a space and belongs to the
    // field before it, so it can never be taken for a field of its own.
    for (const QByteArray& line : control->split('\n')) {
        if (line.startsWith("Package:"))
            package.name = QString::fromUtf8(line.mid(8)).trimmed();
        else if (line.startsWith("Version:"))
            package.version = QString::fromUtf8(line.mid(8)).trimmed();
    }
    if (package.name.isEmpty() || package.version.isEmpty())
        return std::unexpected(QStringLiteral("%1 names no package or version in its control file").arg(path));
    return package;
}

} // namespace tavrin
