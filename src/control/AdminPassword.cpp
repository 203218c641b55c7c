#include "control/AdminPassword.h"

#include "base/AdminSecretFile.h"
#include "base/Graphemes.h"

#include <QByteArray>
#include <QRandomGenerator>

namespace tavrin {

QString generateAdminSecret() {
    QByteArray bytes(32, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(QRandomGenerator::system()->generate64() & 0xff);
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool isAcceptableAdminPassword(const QString& password, const QString& confirmation) {
    return password == confirmation && graphemeCount(trimmedAdminSecret(password)) >= minimumAdminPasswordLength;
}

} // namespace tavrin
