#pragma once

#include <QString>
#include <QStringList>

#include <expected>

namespace tavrin {

// Renders every kit component in its states to PNG files in `dir` (created if needed), without a
// visible window. Returns the files written, or the message of the first file that could not be written.
std::expected<QStringList, QString> renderKitGallery(const QString& dir);

} // namespace tavrin
