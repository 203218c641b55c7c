#include "control/AdminPassword.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QTextBoundaryFinder>

namespace tavrin {

QString generateAdminSecret() {
    QByteArray bytes(32, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(QRandomGenerator::system()->generate64() & 0xff);
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

int perceivedLength(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

bool isAcceptableAdminPassword(const QString& password, const QString& confirmation) {
    return password == confirmation && perceivedLength(password) >= minimumAdminPasswordLength;
}

bool adminPasswordsMismatch(const QString& password, const QString& confirmation) {
    return !password.isEmpty() && password != confirmation;
}

} // namespace tavrin
