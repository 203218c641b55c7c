#include "ui/ServerFigures.h"

#include "base/ServerAddress.h"

#include <QCoreApplication>

#include <cmath>

namespace tavrin {

QString noFigure() { return QStringLiteral("—"); }

QString shortenedHash(const QString& hash) {
    constexpr qsizetype shown = 32;
    return hash.size() > shown ? hash.left(shown) + QStringLiteral("…") : hash;
}

std::optional<QString> formatUptime(double seconds) {
    // 2^63 is exactly representable; every double below it truncates to a value that fits qint64.
    constexpr double limit = 9223372036854775808.0;
    // A negative uptime is a server's clock error; "-1h -1m" would only confuse.
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= limit)
        return std::nullopt;
    const auto s = static_cast<qint64>(std::trunc(seconds));
    const qint64 h = s / 3600;
    const qint64 m = (s - 3600 * h) / 60;
    //: Server uptime: %1 whole hours, %2 minutes.
    return QCoreApplication::translate("ServerFigures", "%1h %2m")
        .arg(QString::number(h), QString::number(m));
}

QString memoryAndSystem(const ClientHardwareReport& hardware, const QString& afterSize) {
    return QCoreApplication::translate("ServerFigures", "%1 GB")
               .arg(QString::asprintf("%.0f", hardware.totalMemoryGB)) +
           afterSize + QStringLiteral(" · ") + hardware.macOSVersion;
}

QString copyLocalhostEndpointName() {
    return QCoreApplication::translate("ServerFigures", "Copy localhost endpoint");
}
QString copyLanEndpointName() {
    return QCoreApplication::translate("ServerFigures", "Copy LAN endpoint");
}
QString copyModelHashName() {
    return QCoreApplication::translate("ServerFigures", "Copy model hash");
}

QString localhostEndpoint(const ClientServerStatus& status) {
    return localhostEndpoint(status.bind.bindPort);
}

QString localhostEndpoint(qint64 port) {
    return QStringLiteral("http://") + ServerAddress::defaultHost + u':' + QString::number(port) +
           QStringLiteral("/v1");
}

std::optional<QString> lanEndpoint(const ClientServerStatus& status, const QString& hostName) {
    if (!status.bind.lanEnabled)
        return std::nullopt;
    return QStringLiteral("http://") + hostName + QLatin1Char(':') + QString::number(status.bind.bindPort) +
           QStringLiteral("/v1");
}

std::optional<QString> answeringModel(const ClientServerStatus& status) {
    // The bundle stays loaded behind an upstream engine, but a request never reaches it.
    if (const auto& engine = status.engine; engine && engine->url) {
        const QString name = engine->servedName.value_or(engine->model.value_or(QString()));
        if (!name.isEmpty())
            return name;
    }
    if (status.model.running)
        return status.model.running->productionAlias;
    return std::nullopt;
}

} // namespace tavrin
