#include "server/stores/NetworkPolicy.h"

#include <QUrl>

namespace tavrin {

namespace {

// Accepts "10.0.0.7", "10.0.0.0/8", "fd00::/8". A bare address is a subnet of one.
std::optional<std::pair<QHostAddress, int>> parseEntry(const QString& entry) {
    if (entry.contains(QLatin1Char('/'))) {
        const auto subnet = QHostAddress::parseSubnet(entry);
        if (subnet.first.isNull() || subnet.second < 0)
            return std::nullopt;
        return subnet;
    }
    QHostAddress address;
    if (!address.setAddress(entry))
        return std::nullopt;
    return std::pair{address, address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128};
}

// "::ffff:10.0.0.7", as an IPv6 socket reports an IPv4 client, compares as 10.0.0.7.
QHostAddress normalised(const QString& text) {
    QHostAddress address(text);
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4) : address;
}

bool isOrigin(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == QLatin1StringView("http") || url.scheme() == QLatin1StringView("https")) &&
           !url.host().isEmpty() && url.path().isEmpty() && !url.hasQuery() && !url.hasFragment() &&
           url.userInfo().isEmpty();
}

} // namespace

NetworkPolicy::NetworkPolicy(const ClientNetworkPreferences& prefs) {
    for (const auto& entry : prefs.ipAllowlist)
        if (auto subnet = parseEntry(entry))
            m_subnets.push_back(*subnet);
    for (const auto& origin : prefs.corsAllowedOrigins)
        m_origins.insert(origin);
}

std::expected<void, QString> NetworkPolicy::validate(const ClientNetworkPreferences& prefs) {
    if (QHostAddress(prefs.bindHost).isNull())
        return std::unexpected(QStringLiteral("bindHost must be an IP address, not \"%1\"").arg(prefs.bindHost));
    if (prefs.bindPort < 1 || prefs.bindPort > 65535)
        return std::unexpected(QStringLiteral("bindPort must be between 1 and 65535, not %1").arg(prefs.bindPort));
    for (const auto& entry : prefs.ipAllowlist)
        if (!parseEntry(entry))
            return std::unexpected(
                QStringLiteral("ipAllowlist entry \"%1\" is not an IP address or subnet").arg(entry));
    for (const auto& origin : prefs.corsAllowedOrigins)
        if (!isOrigin(origin))
            return std::unexpected(
                QStringLiteral("corsAllowedOrigins entry \"%1\" is not an origin like https://app.example.com")
                    .arg(origin));
    return {};
}

bool NetworkPolicy::isLoopback(const QString& address) { return normalised(address).isLoopback(); }

bool NetworkPolicy::allows(const QString& address) const {
    if (m_subnets.empty())
        return true;
    const QHostAddress client = normalised(address);
    for (const auto& subnet : m_subnets)
        if (client.isInSubnet(subnet))
            return true;
    return false;
}

} // namespace tavrin
