#include "protocol/HardwareProbe.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <sys/utsname.h>
#include <unistd.h>

#include <cmath>
#include <limits>

namespace tavrin {

namespace {

// The memory note a simulated Apple machine is given: the Apple rules keep their own words.
QString appleMemoryNote(double memoryGB) {
    return QCoreApplication::translate(
               "HardwareProbe",
               "Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected %1 GB.")
        .arg(QString::asprintf("%.1f", memoryGB));
}

QString memoryNote(double memoryGB) {
    return QCoreApplication::translate(
               "HardwareProbe",
               "Tavrin Keldmarch is recommended on computers with 16 GB RAM or more. Detected %1 GB.")
        .arg(QString::asprintf("%.1f", memoryGB));
}

QString architectureNote(const QString& machine) {
    //: %1 is the machine's architecture ("armv7l"), or the words "of an unknown architecture".
    return QCoreApplication::translate(
                   "HardwareProbe",
                   "Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is %1.")
            .arg(machine.isEmpty()
                     ? QCoreApplication::translate("HardwareProbe", "of an unknown architecture")
                     : machine);
}

// The kernel's names for the two architectures the server is built for.
bool isSupportedArchitecture(const QString& machine) {
    return machine == QLatin1String("x86_64") || machine == QLatin1String("amd64") ||
           machine == QLatin1String("aarch64") || machine == QLatin1String("arm64");
}

// The value of the first "key : value" line of a /proc-style text, trimmed; an empty value is
// returned as empty text, a missing key as nothing.
std::optional<QString> procField(const QByteArray& text, QByteArrayView key) {
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != key)
            continue;
        return QString::fromUtf8(line.mid(colon + 1)).trimmed();
    }
    return std::nullopt;
}

QString appleChipName(const std::optional<QString>& deviceModel) {
    static const QRegularExpression chip(QStringLiteral("\\bM\\d+(?:\\s+(?:Pro|Max|Ultra))?\\b"));
    if (!deviceModel)
        return QStringLiteral("Apple silicon");
    const QRegularExpressionMatch named = chip.match(*deviceModel);
    return named.hasMatch() ? QStringLiteral("Apple ") + named.captured() : *deviceModel;
}

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(1 << 20);
}

QString osPrettyName(const QString& root) {
    const QByteArray text = readSmallFile(root + QStringLiteral("etc/os-release"));
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith("PRETTY_NAME="))
            continue;
        QString value = QString::fromUtf8(line.mid(12)).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\''))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QSysInfo::prettyProductName();
}

} // namespace

QString chipTierText(ChipTier tier) {
    switch (tier) {
    case ChipTier::base:
        return QStringLiteral("base");
    case ChipTier::pro:
        return QStringLiteral("pro");
    case ChipTier::max:
        return QStringLiteral("max");
    case ChipTier::ultra:
        return QStringLiteral("ultra");
    case ChipTier::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

qint64 chipTierConcurrencyCap(ChipTier tier) {
    switch (tier) {
    case ChipTier::base:
        return 3;
    case ChipTier::pro:
        return 5;
    case ChipTier::max:
        return 8;
    case ChipTier::ultra:
        return 14;
    case ChipTier::unknown:
        break;
    }
    return 2;
}

ChipTier classifyChipTier(const QString& brand) {
    const QString lower = brand.toLower();
    if (!lower.contains(QLatin1StringView("apple")))
        return ChipTier::unknown;
    if (lower.contains(QLatin1StringView("ultra")))
        return ChipTier::ultra;
    if (lower.contains(QLatin1StringView("max")))
        return ChipTier::max;
    if (lower.contains(QLatin1StringView("pro")))
        return ChipTier::pro;
    static const QRegularExpression baseChip(QStringLiteral("apple m\\d"));
    if (baseChip.match(lower).hasMatch())
        return ChipTier::base;
    return ChipTier::unknown;
}

qint64 recommendedConcurrency(ChipTier tier, double memoryGB) {
    const double scaled = 2.0 * (memoryGB - 10.0);
    // Truncation toward zero; a value beyond the integer range is simply "a lot" and gets the cap.
    if (!(scaled >= 1.0))
        return 1;
    const qint64 n = scaled >= double(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                          : qint64(std::trunc(scaled));
    return std::min(n, chipTierConcurrencyCap(tier));
}

std::optional<SimulatedHost> parseSimulatedHost(const QString& text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    bool ok = false;
    const double gib = text.mid(colon + 1).trimmed().toDouble(&ok);
    const QString brand = text.left(colon).trimmed();
    if (!ok || !std::isfinite(gib) || gib <= 0 || gib > 1e6 || brand.isEmpty())
        return std::nullopt;
    return SimulatedHost{brand, gib};
}

HostFacts readLocalHostFacts(const QString& rootFolder) {
    const QString root = rootFolder.endsWith(QLatin1Char('/')) ? rootFolder : rootFolder + QLatin1Char('/');
    HostFacts facts;
    const QByteArray cpuinfo = readSmallFile(root + QStringLiteral("proc/cpuinfo"));
    facts.cpuBrand = procField(cpuinfo, "model name");
    facts.appleCpu = procField(cpuinfo, "CPU implementer").value_or(QString()).toLower() == QLatin1String("0x61");
    // The device tree's strings end in a NUL.
    for (const char* model : {"proc/device-tree/model", "sys/firmware/devicetree/base/model"}) {
        const QString text = QString::fromUtf8(readSmallFile(root + QLatin1String(model))).remove(QChar(0)).trimmed();
        if (!text.isEmpty()) {
            facts.deviceModel = text;
            break;
        }
    }
    facts.osVersion = osPrettyName(root);
    struct utsname names {};
    if (uname(&names) == 0)
        facts.osBuild = QString::fromUtf8(names.release).trimmed();
    facts.machine = QString::fromUtf8(readSmallFile(root + QStringLiteral("proc/sys/kernel/arch"))).trimmed();
    if (facts.machine.isEmpty())
        facts.machine = QString::fromUtf8(names.machine);
    facts.cpuCores = std::max<long>(1, sysconf(_SC_NPROCESSORS_CONF));
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    facts.memoryBytes = pages > 0 && pageSize > 0 ? qint64(pages) * qint64(pageSize) : 0;
    facts.hostname = QSysInfo::machineHostName();
    return facts;
}

HostFacts applySimulatedHost(HostFacts facts, const SimulatedHost& host) {
    facts.cpuBrand = host.cpuBrand;
    // The simulated machine is described by its brand alone, not by this machine's processor.
    facts.appleCpu = false;
    facts.simulated = true;
    facts.memoryBytes = qint64(std::llround(host.memoryGiB * 1073741824.0));
    return facts;
}

ClientHardwareReport buildHardwareReport(const HostFacts& facts) {
    ClientHardwareReport report;
    const QString brand = facts.cpuBrand ? *facts.cpuBrand
                          : facts.appleCpu ? appleChipName(facts.deviceModel)
                                           : facts.deviceModel.value_or(facts.machine.isEmpty()
                                                                            ? QSysInfo::currentCpuArchitecture()
                                                                            : facts.machine);
    // A simulated Apple chip is judged as on a Mac, with the Apple rules and their words: it is the
    // one way to see them. Every other machine, this one above all, is judged as the Linux machine
    // it is.
    const bool appleRules = facts.simulated && brand.toLower().contains(QLatin1StringView("apple"));
    const bool appleSilicon = appleRules || facts.appleCpu;
    const double memoryGB = double(facts.memoryBytes) * std::ldexp(1.0, -30);
    // A brand that names Apple on a processor that is not Apple's does not make an Apple chip.
    const ChipTier tier = appleSilicon ? classifyChipTier(brand) : ChipTier::unknown;
    const qint64 concurrency = recommendedConcurrency(tier, memoryGB);

    report.macOSVersion = facts.osVersion;
    report.macOSBuild = facts.osBuild;
    report.cpuBrand = brand;
    report.cpuCores = facts.cpuCores;
    report.totalMemoryBytes = facts.memoryBytes;
    report.totalMemoryGB = memoryGB;
    report.isAppleSilicon = appleSilicon;
    report.hostname = facts.hostname;
    if (appleSilicon)
        report.appleSiliconChip = brand;
    report.chipTier = chipTierText(tier);

    // The threshold is 12 GB although the note recommends 16: machines between the two run, but
    // are told they are below the recommendation only when under 12.
    const bool enoughMemory = memoryGB >= 12.0;
    if (appleRules) {
        report.supportLevel = enoughMemory ? QStringLiteral("supported") : QStringLiteral("underspec");
        if (!enoughMemory)
            report.supportNotes.push_back(appleMemoryNote(memoryGB));
    } else if (isSupportedArchitecture(facts.machine)) {
        report.supportLevel = enoughMemory ? QStringLiteral("supported") : QStringLiteral("underspec");
        if (!enoughMemory)
            report.supportNotes.push_back(memoryNote(memoryGB));
    } else {
        report.supportLevel = QStringLiteral("unsupported");
        report.supportNotes.push_back(architectureNote(facts.machine));
        if (!enoughMemory)
            report.supportNotes.push_back(memoryNote(memoryGB));
    }
    report.recommendedConcurrency = concurrency;
    report.recommendedMaxQueueDepth = concurrency > std::numeric_limits<qint64>::max() / 4
                                          ? std::numeric_limits<qint64>::max()
                                          : 4 * concurrency;
    return report;
}

ClientHardwareReport probeLocalHardware(const std::optional<SimulatedHost>& simulated) {
    HostFacts facts = readLocalHostFacts();
    if (simulated)
        facts = applySimulatedHost(std::move(facts), *simulated);
    return buildHardwareReport(facts);
}

} // namespace tavrin
