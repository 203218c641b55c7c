// What the screens decide from the model's state, without a window: how a phase looks, the Status
// tab's texts, the Models tab's, the tray panel's lines and place.
#include "KitTestMain.h"
#include "ScreenTesting.h"

#include "ui/LanAddresses.h"
#include "ui/PhaseLook.h"
#include "ui/ServerFigures.h"
#include "ui/tabs/ModelsTabLogic.h"
#include "ui/tabs/StatusTabLogic.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/tray/TrayPanelLogic.h"

#include <algorithm>
#include <limits>

using namespace tavrin;

Q_DECLARE_METATYPE(std::optional<tavrin::ClientCompositionStages>)
Q_DECLARE_METATYPE(tavrin::PillKind)

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
    // One row per phase: how it reads, its colour, its chip, the tray's symbol, and the Status tab's
    // headline (the tab's resting heading where nothing is known, or went wrong).
    void eachPhaseLooksAndReadsAsTheProductSays_data() {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<PillKind>("chip");
        QTest::addColumn<QString>("tray");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lead");
        const ScreenHeading& resting = adminTab(AdminTab::status).heading;
        const QString stopped = "Start it whenever you need it. The Tavrin app launches in the background and the "
                                "tray icon stays visible.";
        const QString running = "One computer, two endpoints, no surveillance. Everything below reflects what the "
                                "server is doing right now.";
        const QString locked = "Set the admin password in Diagnostics ▸ Admin password to take control of the server.";
        QTest::newRow("unknown") << Phase::unknown() << "Unknown" << Theme::mutedGrey() << PillKind::muted
                                 << "ellipsis.circle" << resting.title << resting.lead;
        QTest::newRow("probing") << Phase::probing() << "Checking…" << Theme::mutedGrey() << PillKind::muted
                                 << "ellipsis.circle" << resting.title << resting.lead;
        QTest::newRow("stopped") << Phase::stopped() << "Stopped" << Theme::mutedGrey() << PillKind::muted
                                 << "antenna.radiowaves.left.and.right.slash" << "Your server is stopped." << stopped;
        QTest::newRow("running") << Phase::running() << "Running" << Theme::okGreen() << PillKind::ok
                                 << "antenna.radiowaves.left.and.right" << "Your Tavrin server is live." << running;
        QTest::newRow("unauthenticated") << Phase::unauthenticated() << "Admin password required" << Theme::warnAmber()
                                         << PillKind::warn << "lock.fill" << "Admin password required." << locked;
        QTest::newRow("error") << Phase::error("Server not reachable") << "Error: Server not reachable"
                               << Theme::dangerRed() << PillKind::bad << "exclamationmark.triangle.fill"
                               << "Your server hit an error." << resting.lead;
    }
    void eachPhaseLooksAndReadsAsTheProductSays() {
        QFETCH(Phase, phase);
        const PhaseLook look = phaseLook(phase);
        QTEST(look.label, "label");
        QTEST(look.colour, "colour");
        QTEST(look.chip, "chip");
        QTEST(look.traySymbol, "tray");
        const StatusHeadline headline = statusHeadline(phase, adminTab(AdminTab::status).heading);
        QTEST(headline.title, "title");
        QTEST(headline.lead, "lead");
        QCOMPARE(startStopLook(phase).label, phase == Phase::running() ? "Stop server" : "Start server");
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

    void detailLineSaysUptimeOrPidWhileRunning_data() {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<bool>("withStatus");
        QTest::addColumn<double>("uptime");
        QTest::addColumn<QString>("line");
        QTest::newRow("stopped") << Phase::stopped() << false << 0.0 << "The login service is not running.";
        QTest::newRow("running with uptime") << Phase::running() << true << 7384.25 << "Uptime · 2h 3m";
        QTest::newRow("running, uptime 0") << Phase::running() << true << 0.0 << "PID 4321";
        QTest::newRow("running without status") << Phase::running() << false << 0.0 << "PID ?";
        QTest::newRow("running, unformattable uptime") << Phase::running() << true << 1e300 << "PID 4321";
        QTest::newRow("unauthenticated") << Phase::unauthenticated() << true << 5.0
                                         << "Set the admin password in Diagnostics ▸ Admin password.";
        QTest::newRow("unknown") << Phase::unknown() << false << 0.0 << "";
        QTest::newRow("probing") << Phase::probing() << true << 5.0 << "";
        QTest::newRow("error") << Phase::error("x") << true << 5.0 << "";
    }
    void detailLineSaysUptimeOrPidWhileRunning() {
        QFETCH(Phase, phase);
        QFETCH(bool, withStatus);
        std::optional<ClientServerStatus> status;
        if (withStatus) {
            status = sampleStatus();
            QFETCH(double, uptime);
            status->uptimeSeconds = uptime;
        }
        QTEST(phaseDetailLine(phase, status), "line");
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
        QTest::newRow("steering only") << Stages(stages(false, false, true, false)) << true << "Steering loaded"
                                       << QStringList{"Steering ✓:brand"};
        QTest::newRow("adapter and prompt") << Stages(stages(true, false, false, true)) << true
                                            << "Adapter · System prompt loaded"
                                            << QStringList{"Adapter ✓:brand", "System prompt ✓:brand"};
        QTest::newRow("prompt only") << Stages(stages(false, false, false, true)) << true << "System prompt loaded"
                                     << QStringList{"System prompt ✓:brand"};
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

    // The concurrency card's chart: readings in, points (x: 0 ten minutes ago, 1 now) and what a
    // reader hears out. Older readings, and any from the future, are not drawn.
    void theLoadChartShowsTheLastTenMinutes() {
        const QDateTime now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
        const auto at = [&](int secondsAgo, qint64 inFlight, qint64 queued) {
            return LoadSample{now.addSecs(-secondsAgo), inFlight, queued};
        };
        const LoadChartSeries quiet = loadChartSeries({}, now);
        QVERIFY(quiet.inFlight.isEmpty() && quiet.top == 1);
        QCOMPARE(quiet.description, "No readings of the load in the last 10 minutes yet.");

        const LoadChartSeries busy = loadChartSeries({at(900, 9, 9), at(600, 2, 0), at(300, 3, 1), at(0, 0, 0), at(-5, 7, 7)}, now);
        QCOMPARE(busy.inFlight, (QList<QPointF>{{0, 2}, {0.5, 3}, {1, 0}}));
        QCOMPARE(busy.queued, (QList<QPointF>{{0, 0}, {0.5, 1}, {1, 0}}));
        QCOMPARE(busy.top, 3);
        QCOMPARE(busy.description, "In flight over the last 10 minutes: peak 3, now 0. Queued: peak 1, now 0.");
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
    void theRunningModelReadsAsItsNameOrAsNone_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("withSource");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("pill");
        QTest::addColumn<QStringList>("rows");
        const QStringList common{"Alias", "Pipeline version", "SHA-256", "Staged path"};
        QTest::newRow("running, from the companion app")
            << true << true << "KELDMARCH-1" << "Imported 2026-11-01T09:12:44Z · from Tavrin AI 2.1.0"
            << "Healthy:ok" << common + QStringList{"Source app version"};
        QTest::newRow("running, no app version") << true << false << "KELDMARCH-1" << "Imported 2026-11-01T09:12:44Z"
                                                 << "Healthy:ok" << common;
        QTest::newRow("nothing running") << false << false << "NO MODEL LOADED" << "" << "Not loaded:muted"
                                         << QStringList{};
    }
    void theRunningModelReadsAsItsNameOrAsNone() {
        QFETCH(bool, running);
        QFETCH(bool, withSource);
        ClientModelStatus model = sampleStatus().model;
        if (!running)
            model.running.reset();
        else if (!withSource)
            model.running->sourceAppVersion.reset();
        const ProductionLook look = productionLook(model);
        QTEST(look.name, "name");
        QTEST(look.imported.value_or(""), "imported");
        QCOMPARE(bool(look.imported), running);
        QTEST(look.status.label + (look.status.kind == PillKind::ok ? ":ok" : ":muted"), "pill");
        QStringList labels;
        if (model.running)
            for (const TechnicalRow& row : modelDetailRows(*model.running))
                labels << row.label;
        QTEST(labels, "rows");
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
