#pragma once

#include <QString>
#include <QUrl>

namespace tavrin {

// The companion app "Tavrin AI" as software centres know it: its AppStream component id.
inline constexpr const char* companionAppStreamId = "com.tavrinai.TavrinAI";

// "appstream:<id>", the link that GNOME Software and KDE Discover answer with the app's page.
QUrl appStreamLink(const QString& componentId);

// Opens the app's page through the desktop's URL handler; false when nothing took the link.
bool openInSoftwareCentre(const QString& componentId);

} // namespace tavrin
