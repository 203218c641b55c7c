#include "ui/LanAddresses.h"

#include <QNetworkInterface>

#include <algorithm>

namespace tavrin {

namespace {

QString urlOf(const QString& host, int port) {
    return QStringLiteral("http://") + host + QLatin1Char(':') + QString::number(port) + QStringLiteral("/v1");
}

} // namespace

std::vector<LanAddress> lanAddresses(const std::vector<InterfaceAddress>& interfaces, int port,
                                     const std::optional<QString>& mdnsName) {
    struct Chosen {
        QString interfaceName;
        QHostAddress address;
    };
    std::vector<Chosen> chosen;
    for (const InterfaceAddress& entry : interfaces) {
        if (!entry.up || entry.loopback || entry.address.isLoopback() || entry.address.isLinkLocal() ||
            entry.address.isNull())
            continue;
        auto same = std::ranges::find(chosen, entry.interfaceName, &Chosen::interfaceName);
        const bool v4 = entry.address.protocol() == QAbstractSocket::IPv4Protocol;
        if (same == chosen.end())
            chosen.push_back({entry.interfaceName, entry.address});
        else if (v4 && same->address.protocol() != QAbstractSocket::IPv4Protocol)
            same->address = entry.address; // an interface's IPv4 address wins over its IPv6 one
    }
    std::ranges::stable_partition(chosen, [](const Chosen& c) { return c.address.protocol() == QAbstractSocket::IPv4Protocol; });
    std::vector<LanAddress> out;
    for (const Chosen& c : chosen) {
        const bool v4 = c.address.protocol() == QAbstractSocket::IPv4Protocol;
        const QString host = v4 ? c.address.toString() : QLatin1Char('[') + c.address.toString() + QLatin1Char(']');
        out.push_back({urlOf(host, port), c.interfaceName});
    }
    if (mdnsName && !mdnsName->isEmpty())
        out.push_back({urlOf(*mdnsName + QStringLiteral(".local"), port), QStringLiteral("mDNS")});
    return out;
}

std::vector<InterfaceAddress> machineInterfaces() {
    std::vector<InterfaceAddress> out;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        for (const QNetworkAddressEntry& entry : interface.addressEntries())
            out.push_back({interface.humanReadableName(), entry.ip(), flags.testFlag(QNetworkInterface::IsUp) &&
                                                                          flags.testFlag(QNetworkInterface::IsRunning),
                           flags.testFlag(QNetworkInterface::IsLoopBack)});
    }
    return out;
}

QList<QPair<QString, QString>> lanEndpointEntries(const ClientNetworkPreferences& prefs) {
    QList<QPair<QString, QString>> entries;
    for (const LanAddress& address : lanAddresses(machineInterfaces(), int(prefs.bindPort), prefs.mdnsName))
        entries << QPair(address.source, address.url);
    return entries;
}

} // namespace tavrin
