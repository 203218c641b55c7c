// The Network tab's editing rules where its test cannot reach: every kind of whitespace in the lists'
// editors, ports typed in other locales.
#include "ui/tabs/NetworkTabLogic.h"

#include <QTest>

using namespace tavrin;

using Entries = std::vector<QString>;

class NetworkRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editorTextBecomesTheListSent() {
        const std::pair<QString, Entries> cases[] = {
            {"", {}}, {"\n \n\t\n  \n", {}}, {"  10.0.0.0/8 \n\n\t192.168.1.7\t\n", {"10.0.0.0/8", "192.168.1.7"}},
            {"b\na\nb", {"b", "a", "b"}}, // duplicates and order kept
            {"https://a.example .com", {"https://a.example .com"}}, // inner spaces are the entry's own
            {"https://a.example\r\nhttps://b.example\r\n", {"https://a.example", "https://b.example"}},
            {"\u00a0x", {"\u00a0x"}}}; // no other whitespace is trimmed
        for (const auto& [text, entries] : cases) {
            QCOMPARE(entriesFromText(text), entries);
            // The lists are shown again exactly as they were kept.
            QCOMPARE(entriesFromText(textFromEntries(entries)), entries);
            const ClientNetworkPreferences sent = preferencesToSend({}, text, QStringLiteral("127.0.0.1"));
            QCOMPARE(sent.corsAllowedOrigins, entries);
            QCOMPARE(sent.ipAllowlist, Entries{"127.0.0.1"});
        }
    }

    void thePortFieldTakesWholeNumbersOnly() {
        const struct {
            const char *locale, *text;
            bool typable;
            qint64 port; // -1: not a port, the saved one stays
        } cases[] = {{"en_US", "18080", true, 18080},  {"en_US", "18,080", false, -1}, {"de_DE", "18.080", false, -1},
                     {"en_US", "80.5", false, -1},     {"en_US", "80a", false, -1},    {"en_US", "", true, -1},
                     {"en_US", "-", true, -1},         {"en_US", "70000", true, 70000}, // out of range: the server's call
                     {"en_US", "99999999999999999999", true, -1}};
        for (const auto& c : cases) {
            const QLocale where(QString::fromLatin1(c.locale));
            const QString text = QString::fromLatin1(c.text);
            QCOMPARE(couldBePort(text, where), c.typable);
            QCOMPARE(portFromText(text, where), c.port < 0 ? std::nullopt : std::optional<qint64>(c.port));
            if (c.port >= 0)
                QCOMPARE(portFromText(portText(c.port, where), where), c.port); // shown without grouping
        }
    }
};

QTEST_GUILESS_MAIN(NetworkRulesTest)

#include "EditingRulesTest.moc"
