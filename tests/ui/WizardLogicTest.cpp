// What the first-run wizard decides where neither its run-through (the accessibility walk's first
// launch) nor WizardTest can go: a machine that is not this one, a probe still running, passwords at
// the rule's edge, a status that is not there.
#include "ui/kit/Theme.h"
#include "ui/wizard/WizardLogic.h"

#include <QTest>

using namespace tavrin;

namespace {

// A machine of 16 GB with that processor, read through the same rules the server uses.
ClientHardwareReport machine(const QString& brand, const QString& architecture) {
    HostFacts facts;
    facts.machine = architecture;
    facts.osVersion = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    facts.cpuBrand = brand;
    facts.memoryBytes = qint64(16) * 1024 * 1024 * 1024;
    return buildHardwareReport(facts);
}

ClientServerStatus statusOn(qint64 port, bool lan) {
    ClientServerStatus status;
    status.bind.bindPort = port;
    status.bind.lanEnabled = lan;
    return status;
}

} // namespace

class WizardLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A processor that is not Apple's is judged by its being 64-bit, in the card's words; no "macOS "
    // before a Linux system's name, and a simulated host is never taken for this machine. A probe still
    // running holds nobody up; a missing companion holds up everybody.
    void theHardwareCardJudgesAProcessorByItsBeing64Bit_data() {
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QString>("architecture");
        QTest::addColumn<QString>("support");
        QTest::newRow("x86-64") << "Intel(R) Core(TM) i7" << "x86_64" << "64-bit processor";
        QTest::newRow("ARM64") << "aarch64" << "aarch64" << "64-bit processor";
        QTest::newRow("32-bit x86") << "Intel(R) Atom(TM)" << "i686" << "Not a 64-bit processor";
    }
    void theHardwareCardJudgesAProcessorByItsBeing64Bit() {
        QFETCH(QString, brand);
        QFETCH(QString, architecture);
        QFETCH(QString, support);
        const ClientHardwareReport hardware = machine(brand, architecture);
        const HardwareLook look = hardwareLook(hardware, false);
        QCOMPARE(look.title, brand);
        QCOMPARE(look.subtitle, "16 GB RAM · Debian GNU/Linux 12 (bookworm)");
        QCOMPARE(look.tiles[2].detail, support);
        QCOMPARE(look.tiles[2].valueColour == Theme::okGreen(), look.pill == "Supported");
        QCOMPARE(readinessCanContinue(true, hardware), support == "64-bit processor");
        QVERIFY(readinessCanContinue(true, std::nullopt) && !readinessCanContinue(false, hardware));
        QCOMPARE(hardwareLook(hardware, true).subtitle, look.subtitle + " · simulated host, not this machine");
    }

    // Save & continue: the generated password once it is there; one's own only by the password rule
    // (whose cases are the control layer's to test), and the mismatch line only once something is typed.
    void savingTakesTheGeneratedPasswordOrAnOwnOneByTheRule_data() {
        QTest::addColumn<QString>("generated");
        QTest::addColumn<bool>("own");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("mismatchShown");
        const QString sixteen = QStringLiteral("abcdefghijklmnop");
        QTest::newRow("generated, still loading") << QString() << false << QString() << QString() << false << false;
        QTest::newRow("generated") << "g" << false << QString() << QString() << true << false;
        QTest::newRow("own, 15 characters") << "g" << true << sixteen.left(15) << sixteen.left(15) << false << false;
        QTest::newRow("own, 16 characters") << "g" << true << sixteen << sixteen << true << false;
        QTest::newRow("own, confirmation differs in case") << "g" << true << sixteen << sixteen.toUpper() << false << true;
        QTest::newRow("own, only a confirmation typed") << "g" << true << QString() << sixteen << false << false;
    }
    void savingTakesTheGeneratedPasswordOrAnOwnOneByTheRule() {
        QFETCH(QString, generated);
        QFETCH(bool, own);
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        const OwnPassword typed{own, password, confirmation};
        QTEST(adminSecretCanSave(generated, typed), "enabled");
        QTEST(passwordsMismatchShown(typed), "mismatchShown");
        QCOMPARE(passwordToSave(generated, typed), own ? password : generated);
    }

    // Without LAN access, or before any status, only the local endpoint is offered; without a status,
    // on the port the panel calls. (The command is run with curl after the accessibility walk's first
    // launch.)
    void onlyTheLocalEndpointIsOfferedWithoutLanAccess() {
        QCOMPARE(doneEndpoints(statusOn(8080, true), QStringLiteral("studio")).lan, "http://studio:8080/v1");
        QCOMPARE(doneEndpoints(statusOn(8080, false), QStringLiteral("studio")).lan, std::nullopt);
        const DoneEndpoints none = doneEndpoints(std::nullopt, QStringLiteral("studio"));
        QCOMPARE(none.localhost, QStringLiteral("http://127.0.0.1:11434/v1"));
        QCOMPARE(none.lan, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(WizardLogicTest)
#include "WizardLogicTest.moc"
