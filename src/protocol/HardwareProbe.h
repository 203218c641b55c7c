#pragma once

// Whether this machine can run the server well. The panel's readiness step and the server's own
// status report both build their ClientHardwareReport here, so the two can never disagree.

#include "protocol/ClientRecords.h"

#include <QString>

#include <optional>

namespace tavrin {

enum class ChipTier { base, pro, max, ultra, unknown };

QString chipTierText(ChipTier tier);
qint64 chipTierConcurrencyCap(ChipTier tier);
ChipTier classifyChipTier(const QString& brand);
qint64 recommendedConcurrency(ChipTier tier, double memoryGB);

// The raw facts the rules run on, as read from the operating system.
struct HostFacts {
    QString osVersion;
    QString osBuild;
    std::optional<QString> cpuBrand; // nullopt when the system does not say
    bool arm64 = false;
    qint64 cpuCores = 0;
    qint64 memoryBytes = 0;
    QString hostname;
};

// A host given on the panel's command line to try the product on other hardware. Only the brand
// and the memory size are replaced; every rule then runs on them.
struct SimulatedHost {
    QString cpuBrand;
    double memoryGiB = 0;
};

// Parses "BRAND:GIB" (for example "Apple M3 Max:36"); nullopt when it is not of that form.
std::optional<SimulatedHost> parseSimulatedHost(const QString& text);

HostFacts readLocalHostFacts();
HostFacts applySimulatedHost(HostFacts facts, const SimulatedHost& host);
ClientHardwareReport buildHardwareReport(const HostFacts& facts);

// Blocking (reads /proc and /etc): the panel calls it off the GUI thread.
ClientHardwareReport probeLocalHardware(const std::optional<SimulatedHost>& simulated = std::nullopt);

} // namespace tavrin
