#include "protocol/HardwareProbe.h"

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
    void judgesMachinesByBrandAndMemory_data() {
        QTest::addColumn<QString>("brand");
        QTest::addColumn<double>("gib");
        QTest::addColumn<QString>("tier");
        QTest::addColumn<QString>("support");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<qint64>("concurrency");

        const QString memory8 = QStringLiteral(
            "Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected 8.0 GB.");
        QTest::newRow("M3 Max 36") << "Apple M3 Max" << 36.0 << "max"
                                   << "supported" << QStringList{} << qint64(8);
        QTest::newRow("M1 8") << "Apple M1" << 8.0 << "base"
                              << "underspec" << QStringList{memory8} << qint64(1);
        QTest::newRow("M2 Pro at the 12 GB line") << "Apple M2 Pro" << 12.0 << "pro"
                                                  << "supported" << QStringList{} << qint64(4);
        QTest::newRow("Intel 16") << "Intel(R) Core(TM) i9-9880H CPU @ 2.30GHz" << 16.0 << "unknown"
                                  << "unsupported" << QStringList{appleNote} << qint64(2);
        QTest::newRow("Intel 8") << "Intel(R) Xeon(R) CPU" << 8.0 << "unknown"
                                 << "unsupported" << QStringList{appleNote, memory8} << qint64(1);
        QTest::newRow("pro and max") << "Apple M4 Pro Max" << 64.0 << "max"
                                     << "supported" << QStringList{} << qint64(8);
        QTest::newRow("ultra beats both") << "apple m2 ultra pro max" << 192.0 << "ultra"
                                          << "supported" << QStringList{} << qint64(14);
        QTest::newRow("apple without a chip number") << "Apple A17" << 16.0 << "unknown"
                                                     << "supported" << QStringList{} << qint64(2);
    }

    void judgesMachinesByBrandAndMemory() {
        QFETCH(QString, brand);
        QFETCH(double, gib);
        QFETCH(QString, tier);
        QFETCH(QString, support);
        QFETCH(QStringList, notes);
        QFETCH(qint64, concurrency);
        const auto r = reportFor(brand, gib);
        QCOMPARE(r.chipTier, tier);
        QCOMPARE(r.supportLevel, support);
        QCOMPARE(QStringList(r.supportNotes.begin(), r.supportNotes.end()), notes);
        QCOMPARE(r.recommendedConcurrency, concurrency);
        QCOMPARE(r.recommendedMaxQueueDepth, 4 * concurrency);
        QCOMPARE(r.totalMemoryGB, gib);
        QCOMPARE(r.appleSiliconChip.has_value(), r.isAppleSilicon);
    }

    void concurrencyFollowsMemoryUpToTheTierCap() {
        const std::pair<ChipTier, qint64> at16[] = {{ChipTier::base, 3},
                                                    {ChipTier::pro, 5},
                                                    {ChipTier::max, 8},
                                                    {ChipTier::ultra, 12},
                                                    {ChipTier::unknown, 2}};
        for (auto [tier, expected] : at16) {
            QCOMPARE(recommendedConcurrency(tier, 16.0), expected);
            QCOMPARE(recommendedConcurrency(tier, 8.0), 1);
            QCOMPARE(recommendedConcurrency(tier, 64.0), chipTierConcurrencyCap(tier));
        }
        QCOMPARE(recommendedConcurrency(ChipTier::ultra, 10.49), 1); // 0.98 truncates to 0
        QCOMPARE(recommendedConcurrency(ChipTier::ultra, 1e300), 14);
    }

    // Only Apple's own processors are Apple silicon; the chip's name comes from the device tree
    // where the processor has no brand string.
    void readsTheProcessorFromAMachinesFiles_data() {
        QTest::addColumn<QByteArray>("cpuinfo");
        QTest::addColumn<QString>("modelFile"); // where the device tree's model is, if anywhere
        QTest::addColumn<QByteArray>("model");
        QTest::addColumn<QString>("brand");
        QTest::addColumn<bool>("apple");
        QTest::addColumn<QString>("tier");
        const QByteArray apple = "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x61\nCPU part\t: 0x022\n";
        const QByteArray arm = "processor\t: 0\nCPU implementer\t: 0x41\nCPU part\t: 0xd08\n";
        QTest::newRow("an Apple laptop") << apple << "proc/device-tree/model"
                                         << QByteArray("Apple MacBook Pro (14-inch, M1 Pro, 2021)").append('\0')
                                         << "Apple M1 Pro" << true << "pro";
        QTest::newRow("an Apple desktop, model in /sys") << apple << "sys/firmware/devicetree/base/model"
                                                         << QByteArray("Apple Mac mini (M2, 2023)") << "Apple M2" << true
                                                         << "base";
        QTest::newRow("an Apple chip the model does not name") << apple << "" << QByteArray() << "Apple silicon" << true
                                                               << "unknown";
        QTest::newRow("another 64-bit ARM board") << arm << "proc/device-tree/model"
                                                  << QByteArray("Raspberry Pi 4 Model B Rev 1.4").append('\0')
                                                  << "Raspberry Pi 4 Model B Rev 1.4" << false << "unknown";
        QTest::newRow("an ARM server without a model") << arm << "" << QByteArray()
                                                       << "aarch64" << false << "unknown";
        QTest::newRow("a PC") << QByteArray("processor\t: 0\nmodel name\t: Intel(R) Core(TM) i7-8700 CPU\n") << ""
                              << QByteArray() << "Intel(R) Core(TM) i7-8700 CPU" << false << "unknown";
    }
    void readsTheProcessorFromAMachinesFiles() {
        QFETCH(QByteArray, cpuinfo);
        QFETCH(QString, modelFile);
        QFETCH(QByteArray, model);
        QFETCH(QString, brand);
        QFETCH(bool, apple);
        QFETCH(QString, tier);
        QTemporaryDir root;
        const auto put = [&](const QString& relative, const QByteArray& bytes) {
            QDir().mkpath(QFileInfo(root.filePath(relative)).path());
            QFile file(root.filePath(relative));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        put(QStringLiteral("proc/cpuinfo"), cpuinfo);
        put(QStringLiteral("proc/sys/kernel/arch"), cpuinfo.contains("implementer") ? "aarch64\n" : "x86_64\n");
        if (!modelFile.isEmpty())
            put(modelFile, model);
        HostFacts facts = readLocalHostFacts(root.path());
        facts.memoryBytes = qint64(16) << 30;
        const ClientHardwareReport report = buildHardwareReport(facts);
        QCOMPARE(report.cpuBrand, brand);
        QCOMPARE(report.isAppleSilicon, apple);
        QCOMPARE(report.appleSiliconChip, apple ? std::optional(brand) : std::nullopt);
        QCOMPARE(report.chipTier, tier);
        QCOMPARE(report.supportLevel, apple ? QStringLiteral("supported") : QStringLiteral("unsupported"));
    }

    void aSimulatedHostReplacesBrandAndMemoryOnly() {
        QCOMPARE(parseSimulatedHost(QStringLiteral("Apple M3 Max:36"))->memoryGiB, 36.0);
        QCOMPARE(parseSimulatedHost(QStringLiteral("Brand:with:colons:8"))->cpuBrand,
                 QStringLiteral("Brand:with:colons"));
        QVERIFY(!parseSimulatedHost(QStringLiteral("Apple M3 Max")));
        QVERIFY(!parseSimulatedHost(QStringLiteral("Apple M3:-4")));
        QVERIFY(!parseSimulatedHost(QStringLiteral(":16")));

        const auto real = probeLocalHardware();
        const auto simulated = probeLocalHardware(SimulatedHost{QStringLiteral("Apple M1"), 8});
        QCOMPARE(simulated.cpuBrand, QStringLiteral("Apple M1"));
        QCOMPARE(simulated.totalMemoryBytes, qint64(8) << 30);
        QCOMPARE(simulated.supportLevel, QStringLiteral("underspec"));
        QCOMPARE(simulated.hostname, real.hostname);
        QCOMPARE(simulated.cpuCores, real.cpuCores);
    }

    void readsThisMachine() {
        const HostFacts facts = readLocalHostFacts();
        QVERIFY(facts.memoryBytes > (qint64(256) << 20));
        QVERIFY(facts.cpuCores >= 1);
        QVERIFY(!facts.hostname.isEmpty());
        QVERIFY(!facts.osVersion.isEmpty());
        QVERIFY(!facts.osBuild.isEmpty());
    }
};

QTEST_GUILESS_MAIN(HardwareProbeTest)
#include "HardwareProbeTest.moc"
