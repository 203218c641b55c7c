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
    std::optional<QString> cpuBrand;    // the processor's own brand string; nullopt when it has none
    std::optional<QString> deviceModel; // the device tree's model, on machines that have one
    bool appleCpu = false;              // the processor is Apple's own (CPU implementer 0x61)
    QString machine;                    // the architecture, e.g. "aarch64"
    qint64 cpuCores = 0;
    qint64 memoryBytes = 0;
    QString hostname;
    bool simulated = false; // the brand and memory were given on the command line
};

// Supported: a 64-bit machine (x86-64 or ARM64) with at least 12 GB; under 12 GB it is underspec.
// Apple silicon is Apple's own processor, never any other 64-bit ARM machine. Where the processor
// has no brand string (Linux on Apple silicon has none), the chip is named from the device tree's
// model ("Apple MacBook Pro (14-inch, M1 Pro, 2021)" gives "Apple M1 Pro").

// A host given on the panel's command line to try the product on other hardware. Only the brand
// and the memory size are replaced. A simulated Apple chip is judged by the rules and words the
// product has on a Mac; any other simulated brand by the rules of this Linux machine.
struct SimulatedHost {
    QString cpuBrand;
    double memoryGiB = 0;
};

// Parses "BRAND:GIB" (for example "Apple M3 Max:36"); nullopt when it is not of that form.
std::optional<SimulatedHost> parseSimulatedHost(const QString& text);

// Reads /proc, /sys and /etc under `root`; tests point it at a fake tree.
HostFacts readLocalHostFacts(const QString& root = QStringLiteral("/"));
HostFacts applySimulatedHost(HostFacts facts, const SimulatedHost& host);
ClientHardwareReport buildHardwareReport(const HostFacts& facts);

// Blocking (reads /proc and /etc): the panel calls it off the GUI thread.
ClientHardwareReport probeLocalHardware(const std::optional<SimulatedHost>& simulated = std::nullopt);

} // namespace tavrin
