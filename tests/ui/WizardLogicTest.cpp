// What the first-run wizard decides, without a window: which forward buttons open, what the rail
// lets the user do, how the hardware and the companion read, the start button's faces, the endpoints
// and the command handed over at the end.
#include "ui/kit/Theme.h"
#include "ui/wizard/WizardLogic.h"

#include <QTest>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::PillKind)

namespace {

ClientHardwareReport report(const QString& level, bool appleSilicon = true) {
    ClientHardwareReport hardware;
    hardware.supportLevel = level;
    hardware.isAppleSilicon = appleSilicon;
    return hardware;
}

// What the machine reads as through the same rules the server uses; an Apple brand is simulated, as
// only a simulated Apple chip is judged by the Apple rules.
ClientHardwareReport machine(const QString& brand, double gib, const QString& architecture) {
    HostFacts facts;
    facts.machine = architecture;
    facts.osVersion = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    if (brand.startsWith(QLatin1String("Apple")))
        return buildHardwareReport(applySimulatedHost(facts, SimulatedHost{brand, gib}));
    facts.cpuBrand = brand;
    facts.memoryBytes = qint64(gib * 1024 * 1024 * 1024);
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
    // The rail takes the user back, never forward; the current row stays where it is.
    void theRailGoesBackNeverForward() {
        using enum WizardStep;
        const struct {
            WizardStep row, current;
            StepState state;
            bool goesBack;
        } cases[] = {{welcome, setupAndStart, StepState::done, true},
                     {adminSecret, setupAndStart, StepState::done, true},
                     {setupAndStart, setupAndStart, StepState::current, false},
                     {done, setupAndStart, StepState::upcoming, false},
                     {readiness, welcome, StepState::upcoming, false},
                     {readiness, done, StepState::done, true}};
        for (const auto& c : cases) {
            QCOMPARE(railRowState(c.row, c.current), c.state);
            QCOMPARE(railRowGoesBack(c.row, c.current), c.goesBack);
        }
    }

    // A probe still running counts as "unknown" and holds nobody up; only "unsupported" does, and a
    // missing companion.
    void readinessContinuesWithTheCompanionOnAMachineThatIsNotUnsupported() {
        const std::optional<ClientHardwareReport> probing;
        QVERIFY(readinessCanContinue(true, probing));
        QVERIFY(readinessCanContinue(true, report("supported")));
        QVERIFY(readinessCanContinue(true, report("underspec")));
        QVERIFY(!readinessCanContinue(true, report("unsupported", false)));
        QVERIFY(!readinessCanContinue(false, probing));
        QVERIFY(!readinessCanContinue(false, report("supported")));
    }

    void theCompanionCardReadsFromItsSearch_data() {
        QTest::addColumn<bool>("found");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<PillKind>("kind");
        QTest::addColumn<bool>("instructions");
        QTest::newRow("not yet checked") << false << false << "Looking for Tavrin AI" << "Checking…" << PillKind::muted << true;
        QTest::newRow("checked, missing") << false << true << "Looking for Tavrin AI" << "Not found" << PillKind::bad << true;
        QTest::newRow("found") << true << true << "Tavrin AI app found" << "Ready" << PillKind::ok << false;
    }
    void theCompanionCardReadsFromItsSearch() {
        QFETCH(bool, found);
        QFETCH(bool, checked);
        const CompanionLook look = companionLook({QStringLiteral("/opt/tavrin-ai/resources"), found, checked, {}});
        QTEST(look.title, "title");
        QTEST(look.pill, "pill");
        QTEST(look.pillKind, "kind");
        QTEST(look.showInstructions, "instructions");
        QCOMPARE(look.symbol, found ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("magnifyingglass"));
    }

    // Through the readiness rules, as the card shows them; no "macOS " before a Linux system's name.
    void theHardwareCardReadsTheMachine_data() {
        QTest::addColumn<QString>("brand");
        QTest::addColumn<double>("gib");
        QTest::addColumn<QString>("architecture");
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<QStringList>("tiles");
        QTest::addColumn<QColor>("supportColour");
        QTest::addColumn<int>("notes");
        QTest::newRow("simulated M3 Max, 36 GB") << "Apple M3 Max" << 36.0 << "x86_64" << "36 GB RAM · Debian GNU/Linux 12 (bookworm)"
                                       << "Supported" << QStringList{"8", "32", "Supported", "Apple silicon · max"}
                                       << Theme::okGreen() << 0;
        QTest::newRow("simulated M1, 8 GB") << "Apple M1" << 8.0 << "x86_64" << "8 GB RAM · Debian GNU/Linux 12 (bookworm)" << "Warning"
                                  << QStringList{"1", "4", "Underspec", "Apple silicon · base"} << Theme::warnAmber() << 1;
        QTest::newRow("x86-64, 16 GB") << "Intel(R) Core(TM) i7" << 16.0 << "x86_64" << "16 GB RAM · Debian GNU/Linux 12 (bookworm)"
                                       << "Supported" << QStringList{"2", "8", "Supported", "64-bit processor"}
                                       << Theme::okGreen() << 0;
        QTest::newRow("ARM64, 8 GB") << "aarch64" << 8.0 << "aarch64" << "8 GB RAM · Debian GNU/Linux 12 (bookworm)"
                                     << "Warning" << QStringList{"1", "4", "Underspec", "64-bit processor"}
                                     << Theme::warnAmber() << 1;
        QTest::newRow("32-bit x86, 8 GB") << "Intel(R) Atom(TM)" << 8.0 << "i686" << "8 GB RAM · Debian GNU/Linux 12 (bookworm)"
                                          << "Warning" << QStringList{"1", "4", "Unsupported", "Not a 64-bit processor"}
                                          << Theme::warnAmber() << 2;
    }
    void theHardwareCardReadsTheMachine() {
        QFETCH(QString, brand);
        QFETCH(double, gib);
        QFETCH(QString, architecture);
        const HardwareLook look = hardwareLook(machine(brand, gib, architecture), false);
        QCOMPARE(look.title, brand);
        QTEST(look.subtitle, "subtitle");
        QTEST(look.pill, "pill");
        QTEST((QStringList{look.tiles[0].value, look.tiles[1].value, look.tiles[2].value, look.tiles[2].detail}), "tiles");
        QTEST(look.tiles[2].valueColour, "supportColour");
        QTEST(int(look.notes.size()), "notes");
        // A simulated host is never taken for this machine.
        QCOMPARE(hardwareLook(machine(brand, gib, architecture), true).subtitle, look.subtitle + " · simulated host, not this machine");
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
        QTest::newRow("own open, nothing typed") << "g" << true << QString() << QString() << false << false;
        QTest::newRow("own, 15 characters") << "g" << true << sixteen.left(15) << sixteen.left(15) << false << false;
        QTest::newRow("own, 16 characters") << "g" << true << sixteen << sixteen << true << false;
        QTest::newRow("own, confirmation differs in case") << "g" << true << sixteen << sixteen.toUpper() << false << true;
        QTest::newRow("own, confirmation still empty") << "g" << true << sixteen << QString() << false << true;
        QTest::newRow("own, only a confirmation typed") << "g" << true << QString() << sixteen << false << false;
        QTest::newRow("own closed again") << "g" << false << sixteen.left(3) << QString() << true << true;
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

    void theStartButtonHasThreeFaces() {
        const struct {
            bool working, running;
            const char *label, *symbol;
            bool busy, enabled;
        } cases[] = {{false, false, "Start Tavrin Keldmarch", "play.fill", false, true},
                     {false, true, "Server is running", "checkmark.circle.fill", false, false},
                     {true, false, "Starting…", "", true, false},
                     {true, true, "Starting…", "", true, false}}; // starting while already up
        for (const auto& c : cases) {
            const StartFace face = startButtonFace(c.working, c.running);
            QCOMPARE(face.label, QString::fromUtf8(c.label));
            QCOMPARE(face.symbol, QString::fromUtf8(c.symbol));
            QCOMPARE(face.busy, c.busy);
            QCOMPARE(face.enabled, c.enabled);
        }
    }

    void theLocalNodeNamesItsPort() {
        QCOMPARE(localhostNodeDetail(8080), QStringLiteral("127.0.0.1 only · port 8080"));
    }

    // Both endpoints carry the status's port and end in /v1; the test command uses the local one.
    void theEndpointsAndTheTestCommandFollowTheStatus() {
        const DoneEndpoints both = doneEndpoints(statusOn(8080, true), QStringLiteral("studio"));
        QCOMPARE(both.localhost, QStringLiteral("http://127.0.0.1:8080/v1"));
        QCOMPARE(both.lan, QStringLiteral("http://studio:8080/v1"));
        QCOMPARE(doneEndpoints(statusOn(8080, false), QStringLiteral("studio")).lan, std::nullopt);
        const DoneEndpoints none = doneEndpoints(std::nullopt, QStringLiteral("studio"));
        QCOMPARE(none.localhost, QStringLiteral("http://127.0.0.1:11434/v1"));
        QCOMPARE(none.lan, std::nullopt);
        QCOMPARE(smokeTestCommand(both.localhost, QStringLiteral("tk-abc")),
                 QStringLiteral("curl http://127.0.0.1:8080/v1/models \\\n  -H \"Authorization: Bearer tk-abc\""));
    }
};

QTEST_GUILESS_MAIN(WizardLogicTest)
#include "WizardLogicTest.moc"
