#include "server/http/BodyAllowance.h"

#include <QHostAddress>

#include <algorithm>
#include <utility>

namespace tavrin {

namespace {

void subtract(std::map<std::string, std::size_t>& held, const std::string& who, std::size_t bytes) {
    const auto it = held.find(who);
    if (it == held.end())
        return;
    it->second -= std::min(it->second, bytes);
    if (it->second == 0)
        held.erase(it);
}

std::size_t heldBy(const std::map<std::string, std::size_t>& held, const std::string& who) {
    const auto it = held.find(who);
    return it == held.end() ? 0 : it->second;
}

} // namespace

BodyAllowance::Reservation::Reservation(Reservation&& other) noexcept
    : m_owner(std::exchange(other.m_owner, nullptr)), m_admin(other.m_admin), m_key(std::move(other.m_key)),
      m_peer(std::move(other.m_peer)), m_bytes(other.m_bytes) {}

BodyAllowance::Reservation& BodyAllowance::Reservation::operator=(Reservation&& other) noexcept {
    if (this != &other) {
        release();
        m_owner = std::exchange(other.m_owner, nullptr);
        m_admin = other.m_admin;
        m_key = std::move(other.m_key);
        m_peer = std::move(other.m_peer);
        m_bytes = other.m_bytes;
    }
    return *this;
}

void BodyAllowance::Reservation::release() {
    if (auto* owner = std::exchange(m_owner, nullptr))
        owner->give(*this);
}

std::optional<BodyAllowance::Reservation> BodyAllowance::reserveAdmin(std::size_t bytes) {
    if (m_admin + bytes > m_limits.admin)
        return std::nullopt;
    m_admin += bytes;
    return Reservation(this, true, {}, {}, bytes);
}

std::optional<BodyAllowance::Reservation> BodyAllowance::reserveClient(std::size_t bytes, const std::string& key,
                                                                     const std::string& peer) {
    if (m_client + bytes > m_limits.client || heldBy(m_byKey, key) + bytes > m_limits.perKey ||
        heldBy(m_byPeer, peer) + bytes > m_limits.perPeer)
        return std::nullopt;
    m_client += bytes;
    m_byKey[key] += bytes;
    m_byPeer[peer] += bytes;
    return Reservation(this, false, key, peer, bytes);
}

void BodyAllowance::give(const Reservation& reservation) {
    if (reservation.m_admin) {
        m_admin -= reservation.m_bytes;
        return;
    }
    m_client -= reservation.m_bytes;
    subtract(m_byKey, reservation.m_key, reservation.m_bytes);
    subtract(m_byPeer, reservation.m_peer, reservation.m_bytes);
}

std::string BodyAllowance::peerGroup(const std::string& plainAddress) {
    const QHostAddress address(QString::fromStdString(plainAddress));
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return plainAddress;
    Q_IPV6ADDR bytes = address.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        bytes[i] = 0;
    return QHostAddress(bytes).toString().toStdString() + "/64";
}

} // namespace tavrin
