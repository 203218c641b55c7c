// The API Keys tab: what it decides from keys, without a window, and the tab as a user drives it
// against the real tavrin-server, with the keys it makes tried on the server's client surface.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "support/HttpProbe.h"
#include "ui/kit/IssuedKeyBanner.h"
#include "ui/kit/KeyListRow.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TRTextField.h"
#include "ui/tabs/KeysTab.h"
#include "ui/tabs/KeysTabLogic.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

using namespace tavrin;

namespace {

ClientAPIKeyPublic key(QString status, std::optional<std::vector<ClientAPIKeyScope>> scopes = std::nullopt,
                       std::optional<QString> lastUsedAt = std::nullopt, qint64 requests = 0) {
    ClientAPIKeyPublic k;
    k.id = "k1";
    k.label = "Build farm";
    k.prefix = "tvn_3f9a";
    k.createdAt = "2025-01-01T00:00:00Z";
    k.status = std::move(status);
    k.scopes = std::move(scopes);
    k.lastUsedAt = std::move(lastUsedAt);
    k.totalRequests = requests;
    return k;
}

} // namespace

class KeysLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // One row per kind of key: its status pill, scope pill (none without scopes), usage line and
    // whether Revoke is offered. Only a status of exactly "active" is active; anything else is revoked.
    // (The count line over real keys is the tab's, below.)
    void aRowSaysWhatItsKeyIs() {
        using S = ClientAPIKeyScope;
        const QStringList never{"tvn_3f9a…", "Last used never", "0 requests"};
        const struct {
            ClientAPIKeyPublic key;
            const char* status;
            PillKind kind;
            const char* scope;
            QStringList usage;
            bool revocable;
        } cases[] = {
            {key("revoked", std::vector{S::readonly}), "Revoked", PillKind::muted, "readonly", never, false},
            {key("suspended"), "Revoked", PillKind::muted, "", never, false}, // an unknown status
            {key("Active"), "Revoked", PillKind::muted, "", never, false},    // only "active" exactly
            {key("active"), "Active", PillKind::ok, "", never, true}, // no scopes
            {key("active", std::vector{S::readonly, S::inference}), "Active", PillKind::ok, "readonly", never, true},
            {key("active", std::nullopt, std::nullopt, 9007199254740993), "Active", PillKind::ok, "", // beyond 2^53
             {"tvn_3f9a…", "Last used never", "9007199254740993 requests"}, true}};
        for (const auto& c : cases) {
            const KeyListRowContent row = keyRowContent(c.key);
            QCOMPARE(row.status, QString::fromUtf8(c.status));
            QCOMPARE(row.statusKind, c.kind);
            QCOMPARE(row.scope, QString::fromUtf8(c.scope));
            QCOMPARE(row.usage, c.usage);
            QCOMPARE(row.revocable, c.revocable);
        }
    }
};

// The tab on a real server: a reference server with its own state folder, the model polling it
// through a real client, the tab shown offscreen in an active window (the keyboard focus is tested).
class KeysTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT

    KeysTab* tab = nullptr;

    void open() {
        tab = RecordTabFixture::open<KeysTab>(AdminTab::keys, {860, 1400});
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
    }
    void settle() const { QTRY_COMPARE(tab->flows().running(), 0); }

    TRTextField* labelField() const { return tab->findChild<TRTextField*>(); }
    TRButton* createButton() const { return buttonNamed(tab, "Create key"); }
    TRSegmentedPicker* scopePicker() const { return tab->findChild<TRSegmentedPicker*>(); }
    IssuedKeyBanner* banner() const { return shownWidgets<IssuedKeyBanner>(tab).value(0); }
    QString countLine() const {
        return cardTitled(tab, "Your keys")->subtitle();
    }
    QList<KeyListRow*> rows() const { return shownWidgets<KeyListRow>(tab); }
    KeyListRow* row(const QString& label) const {
        return findVisible<KeyListRow>(tab, label, [](KeyListRow* r) { return r->content().label; });
    }
    bool shows(const QString& text) const { return visibleTexts(tab).contains(text); }
    void createKey(const QString& label, int scope = 0) {
        labelField()->setText(label);
        scopePicker()->segment(scope)->click();
        createButton()->click();
        settle();
    }
    // A use of the key on the client surface.
    void use(const QString& token) const {
        QVERIFY(test::exchange(server->port(), test::HttpCall{"GET", "/v1/models"}.bearer(token)));
    }

private Q_SLOTS:
    void init() {
        startServer();
        QCOMPARE(model->phase(), Phase::running());
    }
    void cleanup() { tearDown(); }

    // The first key by a double click on the button (one press: one key) with the inference scope, the
    // second by Enter with read-only: each is listed with its scope, its secret shows once in the banner,
    // and the form is back to a fresh start. The label goes as typed; a label of spaces makes nothing.
    void creatingKeysShowsTheirRowsAndTheirSecrets() {
        open();
        QVERIFY(shows("No keys yet. Create one above."));
        QTest::keyClicks(labelField(), "   ");
        QVERIFY(!createButton()->isEnabled());
        QTest::keyClick(labelField(), Qt::Key_Return);
        QCOMPARE(tab->flows().running(), 0);

        const struct {
            const char* label;
            int scope;
            bool byEnter;
        } steps[] = {{"  Build farm ", 0, false}, {"Monitoring", 1, true}};
        for (const auto& step : steps) {
            labelField()->setText(step.label);
            scopePicker()->segment(step.scope)->click();
            QVERIFY(shows(scopeChoices()[std::size_t(step.scope)].description));
            if (step.byEnter)
                QTest::keyClick(labelField(), Qt::Key_Enter);
            else // a double click is one press
                for (int press = 0; press < 2; ++press)
                    createButton()->click();
            settle();

            const auto& listed = model->keys();
            const auto made =
                std::find_if(listed.begin(), listed.end(), [&](const auto& k) { return k.label == step.label; });
            QVERIFY(made != listed.end());
            QVERIFY(made->scopes == std::vector{scopeChoices()[std::size_t(step.scope)].scope});
            QVERIFY(banner());
            QCOMPARE(banner()->label(), QString(step.label));
            QVERIFY(banner()->token().startsWith(made->prefix));
            QCOMPARE(rows().size(), int(listed.size())); // what a row says of its key is the row table's, above
            QCOMPARE(labelField()->text(), QString());
            QVERIFY(!createButton()->isEnabled());
            QCOMPARE(scopePicker()->currentIndex(), 0);
        }
        QCOMPARE(countLine(), "2 of unlimited active · 0 revoked · 2 total");
        QVERIFY(!shows("No keys yet. Create one above."));
    }

    // A key's whole life in the tab: copy it, use it (its row reads the use), rotate it, leave and come
    // back (the secret is not shown again), revoke it, delete it. What the server then takes from each
    // secret is its InferenceContractTest.
    void aKeyFromCreationToDeletion() {
        open();
        createKey("Laptop");
        const QString first = banner()->token();
        QGuiApplication::clipboard()->setText("something else");
        banner()->copyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), first);
        use(first);
        QCoro::waitFor(model->refresh());
        const QStringList used = row("Laptop")->content().usage;
        QVERIFY(first.startsWith(used[0].chopped(1))); // the secret's own start
        QVERIFY(used[1].startsWith("Last used 20"));
        QCOMPARE(used[2], "1 request"); // English's singular, from its catalogue

        KeyListRow* laptop = row("Laptop");
        QCOMPARE(laptop->rotateButton()->accessibleName(), "Rotate key Laptop");
        laptop->rotateButton()->click();
        settle();
        QVERIFY(banner()->token() != first);
        QCOMPARE(row("Laptop"), laptop); // the same row, changed in place

        open(); // the user comes back to the tab
        QVERIFY(!banner());
        QCOMPARE(tab->findChild<IssuedKeyBanner*>()->token(), QString()); // not even out of sight

        row("Laptop")->revokeButton()->setFocus();
        row("Laptop")->revokeButton()->click();
        settle();
        laptop = row("Laptop");
        QVERIFY(laptop->rotateButton()->hasFocus()); // the gone Revoke hands its focus to its neighbour
        QVERIFY(!laptop->revokeButton()->isVisibleTo(tab));
        QCOMPARE(countLine(), "0 of unlimited active · 1 revoked · 1 total");

        laptop->deleteButton()->setFocus();
        laptop->deleteButton()->click();
        laptop->deleteButton()->click(); // deleted once: no "not found" for the second press
        settle();
        QVERIFY(rows().isEmpty() && model->keys().empty());
        QVERIFY(shows("No keys yet. Create one above."));
        QVERIFY(labelField()->hasFocus()); // a keyboard user is not left nowhere
        QCOMPARE(errorLines(tab).value(0), QString());
    }

    // With the server gone, the form's action and a row's show the action's message and change nothing
    // on screen (that each action fails alike is the state layer's ActionsTest); the next action that
    // succeeds clears the message.
    void aFailedActionSaysWhyAndLeavesTheListAsItWas() {
        open();
        createKey("Laptop");
        const QString shown = banner()->token();
        QVERIFY(server->stop());
        labelField()->setText("Desktop");
        for (TRButton* action : {createButton(), row("Laptop")->rotateButton()}) {
            tab->findChild<TRMessageLine*>()->clearMessage(); // each failure must say so itself
            action->click();
            settle();
            QVERIFY(errorLines(tab).value(0).startsWith("Tavrin Keldmarch is not reachable: "));
            QVERIFY(labelField()->text() == "Desktop" && banner()->token() == shown && rows().size() == 1);
        }

        QVERIFY(server->restart());
        createKey("Desktop");
        QCOMPARE(errorLines(tab).value(0), QString());
    }
};

int main(int argc, char** argv) { return runKitTests<KeysLogicTest, KeysTabTest>(argc, argv); }

#include "KeysTabTest.moc"
