#pragma once

#include <QString>

namespace tavrin {

// Shows `path` selected in the desktop's file manager (org.freedesktop.FileManager1), or opens its
// parent folder where no file manager answers on D-Bus. Never blocks: the D-Bus call is asynchronous.
void revealInFileManager(const QString& path);

// Opens the file in the application the desktop chooses for it. Whether that works (a file that does
// not exist yet, no application for its type) is the desktop's to tell: the caller is not told.
void openInDefaultApplication(const QString& path);

} // namespace tavrin
