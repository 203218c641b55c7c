#include "base/AdminSecretFile.h"

#include <QFile>
#include <QStringDecoder>

#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

// Far beyond any password; a bigger file is not one, and is not read into memory on every request.
constexpr qint64 largestFile = 64 * 1024;

} // namespace

QString trimmedAdminSecret(const QString& secret) {
    // QChar::isSpace is Unicode's white space and line separators, the same set as "white space and
    // newlines": tab, line feed to carriage return, next line, and the space and separator categories.
    return secret.trimmed();
}

AdminSecretFile::AdminSecretFile(QString folder) : m_folder(std::move(folder)) {}

QString AdminSecretFile::path() const {
    return m_folder + QLatin1Char('/') + QLatin1StringView(fileName);
}

std::optional<QString> AdminSecretFile::read() const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(largestFile + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > largestFile)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QString secret = trimmedAdminSecret(text);
    if (secret.isEmpty())
        return std::nullopt;
    return secret;
}

std::expected<void, FileError> AdminSecretFile::write(const QString& secret) const {
    if (auto made = makeDirectories(m_folder); !made)
        return made;
    ::chmod(QFile::encodeName(m_folder).constData(), 0700); // best effort
    return writeFilePrivately(path(), secret.toUtf8());
}

void AdminSecretFile::remove() const {
    ::unlink(QFile::encodeName(path()).constData());
}

} // namespace tavrin
