#pragma once

#include <QString>

namespace tavrin {

// Shows `path` selected in the desktop's file manager (org.freedesktop.FileManager1), or opens its
// parent folder where no file manager answers on D-Bus. Never blocks: the D-Bus call is asynchronous.
void revealInFileManager(const QString& path);

} // namespace tavrin
