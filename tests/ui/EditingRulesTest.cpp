// The Network and Logs tabs' editing rules, without a window: how the editors' text becomes the
// lists sent, the LAN switch and its host, what the port field takes, and the cards and picker
// that a server value without a control of its own must leave alone.
#include "ui/tabs/LogsTabLogic.h"
#include "ui/tabs/NetworkTabLogic.h"

#include <QTest>

using namespace tavrin;

using Entries = std::vector<QString>;
Q_DECLARE_METATYPE(Entries)
Q_DECLARE_METATYPE(tavrin::ClientAuditMode)

class NetworkRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editorTextBecomesTheListSent_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Entries>("entries");
        QTest::newRow("empty") << "" << Entries{};
        QTest::newRow("only blank lines and whitespace") << "\n \n\t\n  \n" << Entries{};
        QTest::newRow("trimmed, blank lines dropped") << "  10.0.0.0/8 \n\n\t192.168.1.7\t\n"
                                                       << Entries{"10.0.0.0/8", "192.168.1.7"};
        QTest::newRow("duplicates and order kept") << "b\na\nb" << Entries{"b", "a", "b"};
        QTest::newRow("inner spaces are the entry's own") << "https://a.example .com" << Entries{"https://a.example .com"};
        QTest::newRow("pasted line breaks leave no carriage return") << "https://a.example\r\nhttps://b.example\r\n"
                                                                      << Entries{"https://a.example", "https://b.example"};
        QTest::newRow("no other whitespace is trimmed") << "\u00a0x" << Entries{"\u00a0x"};
    }
    void editorTextBecomesTheListSent() {
        QFETCH(QString, text);
        QFETCH(Entries, entries);
        QCOMPARE(entriesFromText(text), entries);
        // The lists are shown again exactly as they were kept.
        QCOMPARE(entriesFromText(textFromEntries(entries)), entries);
        const ClientNetworkPreferences sent = preferencesToSend({}, text, QStringLiteral("127.0.0.1"));
        QCOMPARE(sent.corsAllowedOrigins, entries);
        QCOMPARE(sent.ipAllowlist, Entries{"127.0.0.1"});
    }

    // The switch sets the host whatever was typed; the map follows the edits before any save.
    void theLanSwitchSetsTheHostAndTheMapFollows() {
        ClientNetworkPreferences prefs;
        prefs.bindHost = QStringLiteral("10.1.2.3");
        prefs.bindPort = 18080;
        prefs = withLanEnabled(prefs, true);
        QCOMPARE(prefs.bindHost, "0.0.0.0");
        MapNodeText node = networkNode(prefs, QStringLiteral("build-box"));
        QCOMPARE(node.title, "LAN — Wi-Fi & Ethernet");
        QCOMPARE(node.detail, "Other devices on Wi-Fi can reach http://build-box:18080");
        QVERIFY(node.active);
        prefs = withLanEnabled(prefs, false);
        QCOMPARE(prefs.bindHost, "127.0.0.1");
        QVERIFY(!prefs.lanEnabled);
        node = networkNode(prefs, QStringLiteral("build-box"));
        QCOMPARE(node.title, "LAN — disabled");
        QVERIFY(!node.active);
    }

    void thePortFieldTakesWholeNumbersOnly_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("typable");
        QTest::addColumn<qint64>("port"); // -1: not a port, the saved one stays
        QTest::newRow("plain") << "en_US" << "18080" << true << qint64(18080);
        QTest::newRow("grouped is no port") << "en_US" << "18,080" << false << qint64(-1);
        QTest::newRow("German grouping") << "de_DE" << "18.080" << false << qint64(-1);
        QTest::newRow("a fraction") << "en_US" << "80.5" << false << qint64(-1);
        QTest::newRow("letters") << "en_US" << "80a" << false << qint64(-1);
        QTest::newRow("empty, mid-edit") << "en_US" << "" << true << qint64(-1);
        QTest::newRow("a lone minus, mid-edit") << "en_US" << "-" << true << qint64(-1);
        QTest::newRow("out of range goes to the server") << "en_US" << "70000" << true << qint64(70000);
        QTest::newRow("too long for any integer") << "en_US" << "99999999999999999999" << true << qint64(-1);
    }
    void thePortFieldTakesWholeNumbersOnly() {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(qint64, port);
        const QLocale where(locale);
        QTEST(couldBePort(text, where), "typable");
        QCOMPARE(portFromText(text, where), port < 0 ? std::nullopt : std::optional<qint64>(port));
        if (port >= 0)
            QCOMPARE(portFromText(portText(port, where), where), port); // shown without grouping
    }
};

class LogsRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneCardIsOnForEachModeWithACard_data() {
        QTest::addColumn<ClientAuditMode>("mode");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("none") << ClientAuditMode::none << QStringList{"Active", "Standard", "Compliance"};
        QTest::newRow("privacy") << ClientAuditMode::privacy << QStringList{"Default", "Active", "Compliance"};
        QTest::newRow("audit") << ClientAuditMode::audit << QStringList{"Default", "Standard", "Active"};
        QTest::newRow("hash has no card") << ClientAuditMode::hash << QStringList{"Default", "Standard", "Compliance"};
    }
    void oneCardIsOnForEachModeWithACard() {
        QFETCH(ClientAuditMode, mode);
        QStringList shown;
        int on = 0;
        for (const ModeCardText& card : modeCards(mode)) {
            shown << card.label;
            on += card.on;
            QCOMPARE(card.on, card.mode == mode);
        }
        QTEST(shown, "labels");
        QCOMPARE(on, mode == ClientAuditMode::hash ? 0 : 1);
    }

    void retentionOutsideThePickerChoosesNothing() {
        QCOMPARE(retentionLabels(), (QStringList{"7 days", "30 days", "90 days", "365 days"}));
        for (int index = 0; index < 4; ++index)
            QCOMPARE(retentionIndex(retentionDays(index)), index);
        for (qint64 days : {0, 1, 14, 45, 366, -7})
            QCOMPARE(retentionIndex(days), -1);
    }
};

int main(int argc, char** argv) {
    NetworkRulesTest network;
    LogsRulesTest logs;
    return QTest::qExec(&network, argc, argv) + QTest::qExec(&logs, argc, argv);
}

#include "EditingRulesTest.moc"
