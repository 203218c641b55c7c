#include "protocol/HardwareProbe.h"
#include "support/Basics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

namespace {

QString macMemoryNote(const char* gb) {
    return QStringLiteral("Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected %1 GB.").arg(gb);
}

QString linuxMemoryNote(const char* gb) {
    return QStringLiteral("Tavrin Keldmarch is recommended on computers with 16 GB RAM or more. Detected %1 GB.").arg(gb);
}

} // namespace

class HardwareProbeTest : public QObject {
    Q_OBJECT

private slots:
    void judgesAMachineByItsArchitectureAndMemoryOrASimulatedAppleChipByTheAppleRules_data() {
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<double>("gib");
        QTest::addColumn<bool>("simulated");
        QTest::addColumn<bool>("appleCpu");
        QTest::addColumn<QString>("tier");
        QTest::addColumn<QString>("support");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<bool>("appleSilicon");
        QTest::addColumn<qint64>("concurrency");

        const QString intel = QStringLiteral("Intel(R) Core(TM) i9-9880H CPU @ 2.30GHz");
        const QString x86 = QStringLiteral("x86_64");
        const QString arm = QStringLiteral("aarch64");
        // This Linux machine, as it is.
        QTest::newRow("x86-64 at the 12 GB line") << intel << x86 << 12.0 << false << false << "unknown" << "supported" << QStringList{} << false << qint64(2);
        QTest::newRow("x86-64 with 8 GB") << intel << x86 << 8.0 << false << false << "unknown" << "underspec" << QStringList{linuxMemoryNote("8.0")} << false << qint64(1);
        QTest::newRow("x86-64 just under 12 GB") << intel << x86 << 11.99 << false << false << "unknown" << "underspec" << QStringList{linuxMemoryNote("12.0")} << false << qint64(2);
        QTest::newRow("ARM64 board with 16 GB") << "aarch64" << arm << 16.0 << false << false << "unknown" << "supported" << QStringList{} << false << qint64(2);
        QTest::newRow("Apple's own CPU under Linux") << "Apple M1 Pro" << arm << 32.0 << false << true << "pro" << "supported" << QStringList{} << true << qint64(5);
        QTest::newRow("Apple's own CPU under Linux, 8 GB") << "Apple M1" << arm << 8.0 << false << true << "base" << "underspec" << QStringList{linuxMemoryNote("8.0")} << true << qint64(1);
        QTest::newRow("a brand naming Apple is not Apple's CPU") << "Apple M2 (emulated)" << x86 << 16.0 << false << false << "unknown" << "supported" << QStringList{} << false << qint64(2);
        QTest::newRow("32-bit x86 with 4 GB") << "Intel(R) Atom(TM)" << "i686" << 4.0 << false << false << "unknown" << "unsupported"
                                             << QStringList{"Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is i686.", linuxMemoryNote("4.0")} << false << qint64(1);
        QTest::newRow("an architecture nobody named") << "RISC-V" << "" << 64.0 << false << false << "unknown" << "unsupported"
                                                     << QStringList{"Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is of an unknown architecture."} << false << qint64(2);
        // A simulated Apple chip: the Apple rules and their words, on whatever machine runs them.
        QTest::newRow("simulated Apple M3 Max, 36 GB") << "Apple M3 Max" << x86 << 36.0 << true << false << "max" << "supported" << QStringList{} << true << qint64(8);
        QTest::newRow("simulated Apple M1, 8 GB") << "Apple M1" << x86 << 8.0 << true << false << "base" << "underspec" << QStringList{macMemoryNote("8.0")} << true << qint64(1);
        QTest::newRow("simulated Apple M2 Pro at the 12 GB line") << "Apple M2 Pro" << x86 << 12.0 << true << false << "pro" << "supported" << QStringList{} << true << qint64(4);
        QTest::newRow("simulated Apple chip on a 32-bit machine") << "Apple M1" << "i686" << 16.0 << true << false << "base" << "supported" << QStringList{} << true << qint64(3);
        QTest::newRow("simulated Apple M4 Pro Max") << "Apple M4 Pro Max" << arm << 64.0 << true << false << "max" << "supported" << QStringList{} << true << qint64(8);
        QTest::newRow("simulated apple m2 ultra pro max") << "apple m2 ultra pro max" << arm << 192.0 << true << false << "ultra" << "supported" << QStringList{} << true << qint64(14);
        QTest::newRow("simulated Apple A17") << "Apple A17" << arm << 16.0 << true << false << "unknown" << "supported" << QStringList{} << true << qint64(2);
        QTest::newRow("simulated Apple M1 Ultra, 16 GB") << "Apple M1 Ultra" << arm << 16.0 << true << false << "ultra" << "supported" << QStringList{} << true << qint64(12);
        // Any other simulated brand: the rules of the Linux machine it runs on.
        QTest::newRow("simulated Intel on a 32-bit machine") << intel << "i686" << 8.0 << true << false << "unknown" << "unsupported"
                                                            << QStringList{"Tavrin Keldmarch needs a 64-bit computer (x86-64 or ARM64). This one is i686.", linuxMemoryNote("8.0")} << false << qint64(1);
        // A simulated host on Apple's own CPU is the brand it is given, not the CPU it runs on.
        QTest::newRow("simulated Intel on Apple's CPU") << intel << arm << 16.0 << true << true << "unknown" << "supported" << QStringList{} << false << qint64(2);
    }

    void judgesAMachineByItsArchitectureAndMemoryOrASimulatedAppleChipByTheAppleRules() {
        QFETCH(QString, brand);
        QFETCH(QString, machine);
        QFETCH(double, gib);
        QFETCH(bool, simulated);
        QFETCH(bool, appleCpu);
        HostFacts facts;
        facts.cpuBrand = brand;
        facts.appleCpu = appleCpu;
        facts.machine = machine;
        facts.memoryBytes = qint64(gib * 1073741824.0);
        facts.cpuCores = 8;
        facts.hostname = QStringLiteral("ada-studio");
        if (simulated)
            facts = applySimulatedHost(facts, SimulatedHost{brand, gib});
        const ClientHardwareReport r = buildHardwareReport(facts);

        QTEST(r.chipTier, "tier");
        QTEST(r.supportLevel, "support");
        QTEST(QStringList(r.supportNotes.begin(), r.supportNotes.end()), "notes");
        QTEST(r.isAppleSilicon, "appleSilicon");
        QCOMPARE(r.appleSiliconChip, r.isAppleSilicon ? std::optional<QString>(brand) : std::nullopt);
        QTEST(r.recommendedConcurrency, "concurrency");
        QCOMPARE(r.recommendedMaxQueueDepth, 4 * r.recommendedConcurrency);
        QVERIFY(qAbs(r.totalMemoryGB - gib) < 1e-6);
    }

    // At the edges of memory the table above does not reach.
    void recommendsConcurrencyAtTheEdgesOfMemory() {
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
            QCOMPARE(report.supportLevel, QStringLiteral("supported")); // every one of them is 64-bit
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
        QVERIFY(simulated.isAppleSilicon && simulated.supportNotes.front().contains(QLatin1String(" Macs ")));
        QVERIFY(simulated.hostname == real.hostname && simulated.cpuCores == real.cpuCores);
        // This machine's own files read as a machine.
        const HostFacts facts = readLocalHostFacts();
        QVERIFY(facts.memoryBytes > (qint64(256) << 20) && facts.cpuCores >= 1);
        QVERIFY(!facts.hostname.isEmpty() && !facts.osVersion.isEmpty() && !facts.osBuild.isEmpty());
    }
};

QTEST_GUILESS_MAIN(HardwareProbeTest)
#include "HardwareProbeTest.moc"
