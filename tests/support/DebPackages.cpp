#include "support/DebPackages.h"


namespace tavrin::test {

QString buildDebPackage(const QString& folder, const QString& name, const QString& version, const QByteArray& payload) {
    const QString root = QDir(folder).filePath(QStringLiteral("root-%1-%2").arg(name, version));
    const QString deb = QDir(folder).filePath(QStringLiteral("%1_%2_all.deb").arg(name, version));
    QDir(root).removeRecursively();
    const QByteArray control = QStringLiteral("Package: %1\nVersion: %2\nArchitecture: all\nMaintainer: Test "
                                              "<test@tavrinai.example>\nDescription: test package\n")
                                   .arg(name, version)
                                   .toUtf8();
    if (!writeBytes(root + QStringLiteral("/DEBIAN/control"), control) ||
        !writeBytes(root + QStringLiteral("/opt/tavrin-keldmarch/payload"), payload.repeated(10'000)))
        return {};
    const bool built =
        runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("--build"), QStringLiteral("--root-owner-group"), root, deb}).status == 0;
    QDir(root).removeRecursively();
    return built ? deb : QString();
}

} // namespace tavrin::test
