// The Network tab against the real reference server: the picture follows the edits before they are
// saved, a save sends what was typed, and a refusal shows with the edits kept. That the server serves
// what was saved after a restart, its admin API still on the panel's fixed address, is the server's
// ServerLifecycleTest; what the client surface does with the lists its InferenceContractTest. The
// wheel while the server is away is the record editor's, tried on the Logs tab.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/NetMapNode.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRTextField.h"
#include "ui/tabs/NetworkTab.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSysInfo>

using namespace tavrin;

namespace {

TRTextEditor* editor(const QWidget* tab, const QString& name) {
    for (auto* e : tab->findChildren<TRTextEditor*>())
        if (e->editor()->accessibleName() == name)
            return e;
    return nullptr;
}

// What an editor shows for a list the server holds: one entry a line.
QString listText(const std::vector<QString>& entries) { return QStringList(entries.begin(), entries.end()).join('\n'); }

NetMapNode* networkNode(const QWidget* tab) { return tab->findChildren<NetMapNode*>().value(1); }

} // namespace

class NetworkTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    NetworkTab* tab = nullptr;

    void openLoaded() {
        tab = open<NetworkTab>(AdminTab::network);
        QTRY_VERIFY(tab->editor()->record());
    }
    TRTextField* field(const QString& name) const { return namedChild<TRTextField>(tab, name); }

private Q_SLOTS:
    void init() { startServer(); }
    void cleanup() { tearDown(); }

    // A save sends what was typed; the lists then read what the server holds, as it answered, not the
    // text as typed; opened again, the three lines a list keeps fit its editor, which shows no scroll bar.
    void whatIsTypedIsWhatIsSaved() {
        openLoaded();

        // The server judges the values; its refusal shows and the edits stay for another try.
        typeOver(field("Port"), "70000");
        QVERIFY(press(tab, "Save changes"));
        QCOMPARE(errorLines(tab).value(0).trimmed(),
                     "Server returned HTTP 400: bindPort must be between 1 and 65535, not 70000");
        QCOMPARE(tab->editor()->record()->bindPort, 70000);
        QCOMPARE(field("Port")->text(), "70000");
        QVERIFY(statusLines(tab).isEmpty());

        tab->findChild<KeldmarchSwitch*>()->click();
        QCOMPARE(field("Bind host")->text(), "0.0.0.0");
        const quint16 port = 8181; // saved, never served here
        typeOver(field("Port"), QString::number(port));
        QCOMPARE(networkNode(tab)->detail(),
                 QStringLiteral("Other devices on Wi-Fi can reach http://%1:%2").arg(QSysInfo::machineHostName()).arg(port));
        typeOver(field("mDNS name"), "team-llm");
        tab->findChild<TRDisclosure*>()->header()->click();
        editor(tab, "CORS allowed origins")->editor()->insertPlainText("  https://app.example \n\nhttps://app.example\n");
        editor(tab, "IP allowlist")->editor()->insertPlainText("\t10.0.0.0/8 \n\n127.0.0.1\nfd00::/8\n");
        QVERIFY(QCoro::waitFor(client->networkPreferences())->ipAllowlist.empty()); // nothing sent yet

        QVERIFY(press(tab, "Save changes"));
        QCOMPARE(statusLines(tab), QStringList{"Saved. Restart the server to apply."});
        const auto saved = QCoro::waitFor(client->networkPreferences());
        QVERIFY(saved);
        QCOMPARE(saved->bindHost, "0.0.0.0");
        QCOMPARE(saved->bindPort, port);
        QVERIFY(saved->lanEnabled);
        QCOMPARE(saved->mdnsName, std::optional<QString>("team-llm"));
        QCOMPARE(saved->corsAllowedOrigins, (std::vector<QString>{"https://app.example", "https://app.example"}));
        QCOMPARE(saved->ipAllowlist, (std::vector<QString>{"10.0.0.0/8", "127.0.0.1", "fd00::/8"}));
        QCOMPARE(editor(tab, "CORS allowed origins")->text(), listText(saved->corsAllowedOrigins));
        QCOMPARE(editor(tab, "IP allowlist")->text(), listText(saved->ipAllowlist));

        // An emptied name is no name at all.
        typeOver(field("mDNS name"), "");
        QVERIFY(press(tab, "Save changes"));
        QCOMPARE(statusLines(tab), QStringList{"Saved. Restart the server to apply."});
        QCOMPARE(QCoro::waitFor(client->networkPreferences())->mdnsName, std::nullopt);

        openLoaded();
        auto* advanced = tab->findChild<TRDisclosure*>();
        advanced->header()->click();
        QTRY_COMPARE(advanced->contentArea()->maximumHeight(), QWIDGETSIZE_MAX); // opened all the way
        for (const QString name : {"CORS allowed origins", "IP allowlist"}) // once the page has laid itself out
            QTRY_VERIFY2(!editor(tab, name)->editor()->verticalScrollBar()->isVisible(), qPrintable(name));
    }
};

int main(int argc, char** argv) { return runKitTests<NetworkTabTest>(argc, argv); }

#include "NetworkTabTest.moc"
