#include "base/ServerAddress.h"

namespace tavrin {

QUrl ServerAddress::defaultBaseUrl() {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(defaultHost);
    url.setPort(defaultPort);
    return url;
}

} // namespace tavrin
