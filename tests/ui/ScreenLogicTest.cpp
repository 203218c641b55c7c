// What the screens decide from the model's state, without a window: how a phase looks, the Status
// tab's texts, the Models tab's, the tray panel's lines and place.
#include "KitTestMain.h"
#include "ScreenTesting.h"

#include "ui/LanAddresses.h"
#include "ui/PhaseLook.h"
#include "ui/ServerFigures.h"
#include "ui/tabs/ModelsTabLogic.h"
#include "ui/tabs/StatusTabLogic.h"
#include "ui/tray/TrayPanelLogic.h"

#include <QSet>

#include <algorithm>
#include <limits>

using namespace tavrin;

Q_DECLARE_METATYPE(std::optional<tavrin::ClientCompositionStages>)

namespace {

ClientCompositionStages stages(bool adapter, bool softPrompt, bool steering, bool systemPrompt) {
    ClientCompositionStages s;
    s.adapterApplied = adapter;
    s.softPromptApplied = softPrompt;
    s.steeringApplied = steering;
    s.systemPromptApplied = systemPrompt;
    return s;
}

// "label:kind" per pill, so a table row reads as the screen does.
QStringList pillTexts(const std::optional<std::vector<PillLook>>& pills) {
    QStringList texts;
    for (const PillLook& pill : pills.value_or(std::vector<PillLook>{}))
        texts << pill.label + (pill.kind == PillKind::brand ? ":brand" : pill.kind == PillKind::muted ? ":muted" : ":?");
    return texts;
}

} // namespace

class PhaseLookTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every phase a user can meet reads as a word of its own in a colour of the palette, with a tray
    // symbol; only a running server is green and has Stop to press, and an error says what went wrong.
    void everyPhaseHasAWordOfItsOwnInAColourOfThePalette() {
        const QString why = QStringLiteral("Server not reachable");
        const Phase phases[] = {Phase::unknown(), Phase::probing(),        Phase::stopped(),
                                Phase::running(), Phase::unauthenticated(), Phase::error(why)};
        const QColor palette[] = {Theme::mutedGrey(), Theme::okGreen(), Theme::warnAmber(), Theme::dangerRed()};
        QSet<QString> words;
        for (const Phase& phase : phases) {
            const PhaseLook look = phaseLook(phase);
            QVERIFY2(!look.label.isEmpty() && !look.traySymbol.isEmpty(), qPrintable(look.label));
            QVERIFY2(std::ranges::find(palette, look.colour) != std::end(palette), qPrintable(look.label));
            QCOMPARE(look.colour == Theme::okGreen(), phase == Phase::running());
            QCOMPARE(startStopLook(phase).label, phase == Phase::running() ? "Stop server" : "Start server");
            words << look.label;
        }
        QCOMPARE(words.size(), qsizetype(std::size(phases)));
        QVERIFY(phaseLook(Phase::error(why)).label.contains(why));
        QCOMPARE(phaseLook(Phase::error(why)).colour, Theme::dangerRed());
    }

    // Whole hours and minutes of truncated seconds, hours not capped; nothing for what cannot be a
    // whole number of seconds (an empty row).
    void formatsWholeHoursAndMinutes() {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        const std::pair<double, QString> cases[] = {
            {0.0, "0h 0m"}, {59.99, "0h 0m"}, {7384.25, "2h 3m"}, {3.0 * 86400, "72h 0m"},
            {9223372036854774784.0, "2562047788015215h 13m"}, // just under 2^63
            {nan, ""}, {inf, ""}, {9223372036854775808.0, ""}, {-3700.0, ""}};
        for (const auto& [seconds, text] : cases)
            QCOMPARE(formatUptime(seconds), text.isEmpty() ? std::nullopt : std::optional<QString>(text));
    }

    // A running server's line tells its uptime; where there is none to tell, or none that can be
    // written, the pid still says which server answers.
    void detailLineSaysUptimeOrPidWhileRunning_data() {
        QTest::addColumn<bool>("withStatus");
        QTest::addColumn<double>("uptime");
        QTest::addColumn<QString>("line");
        QTest::newRow("with uptime") << true << 7384.25 << "Uptime · 2h 3m";
        QTest::newRow("uptime 0") << true << 0.0 << "PID 4321";
        QTest::newRow("without status") << false << 0.0 << "PID ?";
        QTest::newRow("unformattable uptime") << true << 1e300 << "PID 4321";
    }
    void detailLineSaysUptimeOrPidWhileRunning() {
        QFETCH(bool, withStatus);
        std::optional<ClientServerStatus> status;
        if (withStatus) {
            status = sampleStatus();
            QFETCH(double, uptime);
            status->uptimeSeconds = uptime;
        }
        QTEST(phaseDetailLine(Phase::running(), status), "line");
    }
};

class StatusFiguresTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The Status tab's summary and the Models tab's pills list the applied stages in their order.
    void theAppliedStagesReadInTheirOrderOnBothTabs_data() {
        using Stages = std::optional<ClientCompositionStages>;
        QTest::addColumn<Stages>("given");
        QTest::addColumn<bool>("modelRunning");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("pills");
        const QStringList base{"Base model only:muted"};
        QTest::newRow("all but soft prompt") << Stages(stages(true, true, true, true)) << true
                                             << "Adapter · Steering · System prompt loaded"
                                             << QStringList{"Adapter ✓:brand", "Steering ✓:brand", "System prompt ✓:brand"};
        QTest::newRow("adapter and prompt") << Stages(stages(true, false, false, true)) << true
                                            << "Adapter · System prompt loaded"
                                            << QStringList{"Adapter ✓:brand", "System prompt ✓:brand"};
        QTest::newRow("soft prompt alone is not listed") << Stages(stages(false, true, false, false)) << true
                                                         << "Base model only" << base;
        QTest::newRow("nothing applied") << Stages(stages(false, false, false, false)) << false << "Base model only"
                                         << base;
        QTest::newRow("no stages, model running") << Stages() << true << "—" << QStringList{};
        QTest::newRow("no stages, no model") << Stages() << false << "Server not loaded" << QStringList{};
    }
    void theAppliedStagesReadInTheirOrderOnBothTabs() {
        QFETCH(std::optional<ClientCompositionStages>, given);
        QFETCH(bool, modelRunning);
        ClientServerStatus status = sampleStatus();
        status.stages = given;
        if (!modelRunning)
            status.model.running.reset();
        QTEST(stageSummary(status), "summary");
        const auto shown = stagePills(given);
        QCOMPARE(bool(shown), bool(given)); // no row at all while the stages are not reported
        QTEST(pillTexts(shown), "pills");
    }

    void tilesFallBackWhereTheRecordIsSilent() {
        ClientServerStatus status = sampleStatus();
        status.model.running.reset();
        status.hardware.appleSiliconChip.reset();
        status.hardware.cpuBrand = "AMD Ryzen 7 7840U";
        status.hardware.totalMemoryGB = 15.6;
        status.concurrency.reset();
        QCOMPARE(modelTile(status).value, "Not loaded");
        QCOMPARE(hardwareTile(status).value, "AMD Ryzen 7 7840U");
        QCOMPARE(hardwareTile(status).detail, "16 GB · Debian GNU/Linux 12 (bookworm)");
        QCOMPARE(concurrencyTile(status).value, "—");
        QCOMPARE(concurrencyTile(status).detail, "Start the server to see live load.");
    }

    void aHashIsCutAfter32CharactersOnlyWhenLonger() {
        const QString h32 = QString("0123456789abcdef").repeated(2);
        const std::pair<QString, QString> cases[] = {
            {h32, h32}, {h32 + "f", h32 + "…"}, {h32.repeated(2), h32 + "…"}, {"b3f1", "b3f1"}};
        for (const auto& [hash, shown] : cases) {
            ClientServerStatus status = sampleStatus();
            status.model.running->modelSha256 = hash;
            // The Status tab and the Models tab cut it alike; a copied hash is the whole hash.
            const std::pair<std::vector<TechnicalRow>, QString> tables[] = {
                {technicalRows(status), "Model SHA-256"}, {modelDetailRows(*status.model.running), "SHA-256"}};
            for (const auto& [rows, label] : tables) {
                const auto row = std::ranges::find(rows, label, &TechnicalRow::label);
                QVERIFY2(row != rows.end(), qPrintable(label));
                QCOMPARE(row->value, shown);
                QCOMPARE(row->copyText, hash);
                QCOMPARE(row->copyName, "Copy model hash");
            }
        }
    }

    // The model card names the engine that serves and whether it answers; the technical rows give its
    // address to copy and its last error, only where there are such.
    void theEngineIsNamedWithWhetherItAnswers_data() {
        QTest::addColumn<QString>("url"); // empty: the built-in engine
        QTest::addColumn<QString>("servedName");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("lastError");
        QTest::addColumn<QString>("line");
        QTest::newRow("built in") << QString() << "tavrin-echo" << true << QString() << "Built-in echo engine · answering";
        QTest::newRow("upstream answering") << "http://127.0.0.1:8080/v1" << "office" << true << QString()
                                            << "office · http://127.0.0.1:8080/v1 · answering";
        QTest::newRow("upstream silent") << "https://gpu.example/v1" << "office" << false
                                         << "the engine refused the connection" << "office · https://gpu.example/v1 · not answering";
    }
    void theEngineIsNamedWithWhetherItAnswers() {
        QFETCH(QString, url);
        QFETCH(QString, servedName);
        QFETCH(bool, reachable);
        QFETCH(QString, lastError);
        ClientServerStatus status = sampleStatus();
        ClientEngineHealth engine;
        engine.kind = url.isEmpty() ? "builtin" : "openai";
        if (!url.isEmpty())
            engine.url = url;
        engine.servedName = servedName;
        engine.reachable = reachable;
        if (!lastError.isEmpty())
            engine.lastError = lastError;
        status.engine = engine;
        QTEST(engineLine(engine), "line");
        // The model named everywhere is the one clients reach, never the bundle an upstream stands in for.
        const QString answering = url.isEmpty() ? status.model.running->productionAlias : servedName;
        QCOMPARE(modelTile(status).value, answering);
        QCOMPARE(trayServerLines(status).model, answering);
        const auto rows = technicalRows(status);
        const auto address = std::ranges::find(rows, QString("Engine address"), &TechnicalRow::label);
        const auto error = std::ranges::find(rows, QString("Engine error"), &TechnicalRow::label);
        QCOMPARE(address != rows.end(), !url.isEmpty());
        if (address != rows.end())
            QVERIFY(address->value == url && address->copyText == url && address->copyName == "Copy engine address");
        QCOMPARE(error == rows.end() ? QString() : error->value, lastError);
    }

    // Records the audit log had no room for are told among the technical rows, only when there are some.
    void droppedAuditRecordsShowOnlyWhenThereAreSome() {
        ClientServerStatus status = sampleStatus();
        const auto dropped = [&] {
            const auto rows = technicalRows(status);
            const auto row = std::ranges::find(rows, QString("Audit records dropped"), &TechnicalRow::label);
            return row == rows.end() ? QString() : row->value;
        };
        QCOMPARE(dropped(), QString());
        status.auditRecordsDropped = 1204;
        QCOMPARE(dropped(), "1204 (the audit log reached its size limit)");
    }

    // The addresses a colleague can use: one per up, non-loopback interface, its IPv4 address where it
    // has one, IPv4 interfaces first, then the mDNS name.
    void colleaguesGetOneAddressPerInterface() {
        const auto entry = [](const char* name, const char* address, bool up = true, bool loopback = false) {
            return InterfaceAddress{name, QHostAddress(QString::fromLatin1(address)), up, loopback};
        };
        const std::vector<InterfaceAddress> machine{entry("lo", "127.0.0.1", true, true), entry("lo", "::1", true, true),
                                                    entry("wg0", "fd00::5"),             entry("eth0", "fe80::1"),
                                                    entry("eth0", "2001:db8::7"),        entry("eth0", "192.168.1.20"),
                                                    entry("wlan0", "10.0.0.9", false),   entry("eth1", "172.16.0.3")};
        const std::vector<LanAddress> expected{{"http://192.168.1.20:8080/v1", "eth0"},
                                               {"http://172.16.0.3:8080/v1", "eth1"},
                                               {"http://[fd00::5]:8080/v1", "wg0"},
                                               {"http://studio.local:8080/v1", "mDNS"}};
        QVERIFY(lanAddresses(machine, 8080, QStringLiteral("studio")) == expected);
        QVERIFY(lanAddresses(machine, 8080, std::nullopt).size() == 3);
        QVERIFY(lanAddresses({entry("lo", "127.0.0.1", true, true)}, 8080, QString()).empty());
    }
};

// What the Models tab reads from the model part of a status record.
class ModelsLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // With nothing running the card says so; a model without the companion's version names none.
    // (A model from the companion is read on the Models tab, against the real server.)
    void theRunningModelReadsAsNoneOrWithoutItsSource() {
        ClientModelStatus model = sampleStatus().model;
        model.running->sourceAppVersion.reset();
        const ProductionLook bare = productionLook(model);
        QCOMPARE(bare.imported, "Imported 2026-11-01T09:12:44Z");
        QVERIFY(std::ranges::none_of(modelDetailRows(*model.running),
                                     [](const TechnicalRow& row) { return row.label == "Source app version"; }));
        model.running.reset();
        const ProductionLook none = productionLook(model);
        QCOMPARE(none.name, "NO MODEL LOADED");
        QCOMPARE(none.imported, std::nullopt);
        QCOMPARE(none.status.label, "Not loaded");
        QCOMPARE(none.status.kind, PillKind::muted);
    }

    // Pills by position: "Previous" on the first, "First install" on the last of several, none
    // between; only the first rolls back (the server restores the top entry).
    void historyPillsGoByPosition() {
        const QStringList rows[] = {{},
                                    {"keldmarch-1 | Previous | button"},
                                    {"keldmarch-1 | Previous | button", "keldmarch-2 | First install | -"},
                                    {"keldmarch-1 | Previous | button", "keldmarch-2 |  | -",
                                     "keldmarch-3 | First install | -"}};
        const ClientModelSnapshot sample = *sampleStatus().model.pinState.stagedUpdate;
        std::vector<ClientModelSnapshot> previous;
        for (const QStringList& expected : rows) {
            QStringList shown;
            for (const HistoryEntry& entry : historyEntries(previous)) {
                shown << entry.alias + " | " + entry.pill + " | " + (entry.rollBackHere ? "button" : "-");
                QCOMPARE(entry.detail, "Promoted 2026-11-02T09:12:44Z");
            }
            QCOMPARE(shown, expected);
            previous.push_back(sample); // one entry longer for the next row
            previous.back().alias = "keldmarch-" + QString::number(previous.size());
        }
    }
};

class TrayLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void serverLinesLeaveOutWhatIsAbsent() {
        ClientServerStatus status = sampleStatus();
        status.model.running.reset();
        status.concurrency.reset();
        status.updater.availableUpdate.reset();
        status.uptimeSeconds = std::numeric_limits<double>::infinity();
        const TrayServerLines lines = trayServerLines(status);
        QCOMPARE(lines.model, "not loaded");
        QCOMPARE(lines.uptime, "—");
        QCOMPARE(lines.inFlight, std::nullopt);
        QCOMPARE(lines.update, std::nullopt);
        QCOMPARE(lines.failing, std::nullopt);
    }

    // While every request fails the tray says why, the audit log's refusal before the engine's silence.
    void serverLinesSayWhyRequestsFail() {
        ClientServerStatus status = sampleStatus();
        ClientEngineHealth engine;
        engine.kind = "openai";
        engine.url = "http://127.0.0.1:8080/v1";
        engine.reachable = false;
        status.engine = engine;
        QCOMPARE(trayServerLines(status).failing, "The engine stopped answering");
        status.auditUnavailable = "the disk is full";
        QCOMPARE(trayServerLines(status).failing, "Audit log can't be written: requests are being refused.");
        status.auditUnavailable.reset();
        status.engine->reachable = true;
        QCOMPARE(trayServerLines(status).failing, std::nullopt);
    }

    void panelSitsBesideTheIconInsideTheScreen() {
        // A 1920 × 1080 screen with a 30-high bar at the top; the panel is 320 × 400.
        const std::pair<QRect, QPoint> cases[] = {
            {QRect(900, 2, 24, 24), QPoint(751, 30)}, {QRect(1890, 2, 24, 24), QPoint(1600, 30)}, // a top bar
            {QRect(4, 1050, 24, 24), QPoint(0, 646)}, // a bottom panel
            {QRect(), QPoint(1596, 34)}}; // where the icon is not known
        for (const auto& [icon, topLeft] : cases) {
            const QRect available(0, 30, 1920, 1050);
            const QSize panel(320, 400);
            const QPoint at = trayPanelPosition(icon, panel, available);
            QCOMPARE(at, topLeft);
            QVERIFY(available.contains(QRect(at, panel)));
        }
    }
};

int main(int argc, char** argv) {
    return runKitTests<PhaseLookTest, StatusFiguresTest, ModelsLogicTest, TrayLogicTest>(argc, argv);
}

#include "ScreenLogicTest.moc"
