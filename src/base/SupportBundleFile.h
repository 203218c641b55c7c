#pragma once

#include "base/StateFolder.h"

#include <QFile>
#include <QString>

#include <expected>
#include <memory>

namespace tavrin {

// The support bundles the server writes: "diagnostics" in the state folder. A path the server
// names is only a claim: whatever listens on the admin port can name any file of this user's (a
// private key, say), so a bundle is opened only when it is what it claims to be.
class SupportBundleFile {
public:
    static constexpr const char* folderName = "diagnostics";

    explicit SupportBundleFile(QString stateFolder = StateFolder::path());

    QString folder() const;

    // `path` opened for reading when the file opened is a regular file of this user's directly in
    // folder(), reached with no symbolic link as its last step. The checks are made on the file
    // opened, not on its name, so a name changed after them changes nothing for the reader.
    // The error is the whole message the user reads.
    std::expected<std::unique_ptr<QFile>, QString> open(const QString& path) const;

private:
    QString m_stateFolder;
};

} // namespace tavrin
