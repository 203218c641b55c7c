#include "ui/desktop/SoftwareCentre.h"

#include <QDesktopServices>

namespace tavrin {

QUrl appStreamLink(const QString& componentId) { return QUrl(QStringLiteral("appstream:") + componentId); }

bool openInSoftwareCentre(const QString& componentId) {
    return QDesktopServices::openUrl(appStreamLink(componentId));
}

} // namespace tavrin
