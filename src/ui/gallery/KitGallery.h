#pragma once

#include <QString>
#include <QStringList>

#include <QWidget>

#include <expected>
#include <memory>
#include <vector>

namespace tavrin {

// Renders every kit component in its states to PNG files in `dir` (created if needed), without a
// visible window, and in `dir`/focus one file for each kind of control the keyboard reaches, unfocused
// and focused side by side. Returns the files written, or the message of the first file that could not
// be written.
std::expected<QStringList, QString> renderKitGallery(const QString& dir);

// Every page of the gallery, built, for a window that shows them all (the accessibility walk reads every
// component there, in each of its states).
std::vector<std::unique_ptr<QWidget>> kitGalleryPages();

} // namespace tavrin
