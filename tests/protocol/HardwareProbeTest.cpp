#include "protocol/HardwareProbe.h"
#include "support/Basics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

namespace {

ClientHardwareReport reportFor(std::optional<QString> brand, double gib) {
    HostFacts facts;
    facts.cpuBrand = std::move(brand);
    facts.memoryBytes = qint64(gib * 1073741824.0);
    facts.cpuCores = 8;
    facts.hostname = QStringLiteral("ada-studio");
    return buildHardwareReport(facts);
}

const QString appleNote =
    QStringLiteral("Tavrin Keldmarch requires an Apple-silicon Mac. MLX is not available on Intel.");

} // namespace

class HardwareProbeTest : public QObject {
    Q_OBJECT

private slots:
    void judgesMachinesByBrandAndMemory() {
        const QString memory8 = QStringLiteral("Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected 8.0 GB.");
        // brand, memory in GiB, tier, support, notes, concurrency
        const std::tuple<const char*, double, const char*, const char*, QStringList, qint64> machines[] = {
            {"Apple M3 Max", 36.0, "max", "supported", {}, 8},
            {"Apple M1", 8.0, "base", "underspec", {memory8}, 1},
            {"Apple M2 Pro", 12.0, "pro", "supported", {}, 4}, // at the 12 GB line
            {"Intel(R) Core(TM) i9-9880H CPU @ 2.30GHz", 16.0, "unknown", "unsupported", {appleNote}, 2},
            {"Intel(R) Xeon(R) CPU", 8.0, "unknown", "unsupported", {appleNote, memory8}, 1},
            {"Apple M4 Pro Max", 64.0, "max", "supported", {}, 8},
            {"apple m2 ultra pro max", 192.0, "ultra", "supported", {}, 14}, // ultra beats both
            {"Apple A17", 16.0, "unknown", "supported", {}, 2},               // no chip number
            {"Apple M1", 16.0, "base", "supported", {}, 3},                   // below each tier's cap, memory decides
            {"Apple M1 Pro", 16.0, "pro", "supported", {}, 5},
            {"Apple M1 Max", 16.0, "max", "supported", {}, 8},
            {"Apple M1 Ultra", 16.0, "ultra", "supported", {}, 12},
        };
        for (const auto& [brand, gib, tier, support, notes, concurrency] : machines) {
            const auto r = reportFor(QString::fromLatin1(brand), gib);
            QVERIFY2(r.chipTier == tier && r.supportLevel == support && QStringList(r.supportNotes.begin(), r.supportNotes.end()) == notes,
                     brand);
            QVERIFY2(r.recommendedConcurrency == concurrency && r.recommendedMaxQueueDepth == 4 * concurrency, brand);
            QVERIFY2(r.totalMemoryGB == gib && r.appleSiliconChip.has_value() == r.isAppleSilicon, brand);
        }
        for (const auto tier : {ChipTier::base, ChipTier::pro, ChipTier::max, ChipTier::ultra, ChipTier::unknown})
            QVERIFY(recommendedConcurrency(tier, 8.0) == 1 && recommendedConcurrency(tier, 64.0) == chipTierConcurrencyCap(tier));
        QCOMPARE(recommendedConcurrency(ChipTier::ultra, 10.49), 1); // 0.98 truncates to 0
        QCOMPARE(recommendedConcurrency(ChipTier::ultra, 1e300), 14);
    }

    // Only Apple's own processors are Apple silicon; the chip's name comes from the device tree
    // where the processor has no brand string.
    void readsTheProcessorFromAMachinesFiles() {
        const QByteArray apple = "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x61\nCPU part\t: 0x022\n";
        const QByteArray arm = "processor\t: 0\nCPU implementer\t: 0x41\nCPU part\t: 0xd08\n";
        const QString deviceTree = QStringLiteral("proc/device-tree/model");
        // cpuinfo, where the device tree's model is (if anywhere), the model, brand, tier
        const std::tuple<QByteArray, QString, QByteArray, const char*, const char*> machines[] = {
            {apple, deviceTree, QByteArray("Apple MacBook Pro (14-inch, M1 Pro, 2021)").append('\0'), "Apple M1 Pro", "pro"},
            {apple, "sys/firmware/devicetree/base/model", "Apple Mac mini (M2, 2023)", "Apple M2", "base"},
            {apple, {}, {}, "Apple silicon", "unknown"}, // a chip the model does not name
            {arm, deviceTree, QByteArray("Raspberry Pi 4 Model B Rev 1.4").append('\0'), "Raspberry Pi 4 Model B Rev 1.4", "unknown"},
            {arm, {}, {}, "aarch64", "unknown"},
            {"processor\t: 0\nmodel name\t: Intel(R) Core(TM) i7-8700 CPU\n", {}, {}, "Intel(R) Core(TM) i7-8700 CPU", "unknown"},
        };
        for (const auto& [cpuinfo, modelFile, model, brand, tier] : machines) {
            QTemporaryDir root;
            QVERIFY(test::writeBytes(root.filePath("proc/cpuinfo"), cpuinfo));
            QVERIFY(test::writeBytes(root.filePath("proc/sys/kernel/arch"), cpuinfo.contains("implementer") ? "aarch64\n" : "x86_64\n"));
            if (!modelFile.isEmpty())
                QVERIFY(test::writeBytes(root.filePath(modelFile), model));
            HostFacts facts = readLocalHostFacts(root.path());
            facts.memoryBytes = qint64(16) << 30;
            const ClientHardwareReport report = buildHardwareReport(facts);
            const bool isApple = cpuinfo == apple;
            QVERIFY2(report.cpuBrand == brand && report.isAppleSilicon == isApple && report.chipTier == tier, brand);
            QVERIFY2(report.appleSiliconChip == (isApple ? std::optional<QString>(brand) : std::nullopt), brand);
            QCOMPARE(report.supportLevel, isApple ? QStringLiteral("supported") : QStringLiteral("unsupported"));
        }
    }

    void aSimulatedHostReplacesBrandAndMemoryOnly() {
        QCOMPARE(parseSimulatedHost(QStringLiteral("Apple M3 Max:36"))->memoryGiB, 36.0);
        QCOMPARE(parseSimulatedHost(QStringLiteral("Brand:with:colons:8"))->cpuBrand, QStringLiteral("Brand:with:colons"));
        for (const char* refused : {"Apple M3 Max", "Apple M3:-4", ":16"})
            QVERIFY2(!parseSimulatedHost(QString::fromLatin1(refused)), refused);

        const auto real = probeLocalHardware();
        const auto simulated = probeLocalHardware(SimulatedHost{QStringLiteral("Apple M1"), 8});
        QVERIFY(simulated.cpuBrand == "Apple M1" && simulated.totalMemoryBytes == qint64(8) << 30 && simulated.supportLevel == "underspec");
        QVERIFY(simulated.hostname == real.hostname && simulated.cpuCores == real.cpuCores);
        // This machine's own files read as a machine.
        const HostFacts facts = readLocalHostFacts();
        QVERIFY(facts.memoryBytes > (qint64(256) << 20) && facts.cpuCores >= 1);
        QVERIFY(!facts.hostname.isEmpty() && !facts.osVersion.isEmpty() && !facts.osBuild.isEmpty());
    }
};

QTEST_GUILESS_MAIN(HardwareProbeTest)
#include "HardwareProbeTest.moc"
