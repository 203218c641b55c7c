#pragma once

#include <QString>

#include <expected>

namespace tavrin {

// The name and version a Debian package gives itself in its control file, which is what the
// package installer goes by. Read with libarchive (the ar container, then its control.tar.*),
// so that neither the server nor the signing tool needs dpkg at run time.
struct DebPackage {
    QString name;
    QString version;

    // Fails with why the file is not a package whose control file names both.
    static std::expected<DebPackage, QString> read(const QString& path);
};

} // namespace tavrin
