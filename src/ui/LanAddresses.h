#pragma once

#include "protocol/ClientRecords.h"

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// One address of one of this machine's network interfaces.
struct InterfaceAddress {
    QString interfaceName;
    QHostAddress address;
    bool up = true;
    bool loopback = false;
};

// An address a colleague's machine can reach the server on, as a URL of the inference API
// ("http://192.168.1.20:11434/v1") and the line that says where it comes from ("eth0").
struct LanAddress {
    QString url;
    QString source;
    bool operator==(const LanAddress&) const = default;
};

// Every up, non-loopback interface once, with its IPv4 address where it has one (else its first
// IPv6 address that is not link-local), IPv4 interfaces first; then "<mDNS name>.local" when one is
// set. Link-local addresses are left out: they need a zone a URL cannot carry to another machine.
std::vector<LanAddress> lanAddresses(const std::vector<InterfaceAddress>& interfaces, int port,
                                     const std::optional<QString>& mdnsName);

// This machine's interfaces, as the system reports them now.
std::vector<InterfaceAddress> machineInterfaces();

// The addresses of this machine that serve `prefs`, read now, as the rows of an endpoint list
// (caption, URL).
QList<QPair<QString, QString>> lanEndpointEntries(const ClientNetworkPreferences& prefs);

} // namespace tavrin
