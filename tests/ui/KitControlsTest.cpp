// The kit's interactive controls driven as a user drives them: mouse, keyboard, and what changes on
// screen. That every kind does what a click does whichever way it is worked is the gallery test's.
#include "KitTestMain.h"

#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/KeyListRow.h"
#include "ui/kit/MBPanel.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRKeyedList.h"
#include "ui/kit/TRSegmentedPicker.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace tavrin;

namespace {

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class ButtonsTest : public QObject {
    Q_OBJECT
private slots:
    // The product's words are heard as written, ampersand and all, whatever the kind of control.
    void everyKindIsAnnouncedByItsLabelAmpersandAndAll() {
        const QString label = "Advanced — CORS & IP allowlist";
        TRDisclosure disclosure(label);
        KeldmarchSwitch toggle(label);
        TRCheckBox box(label);
        TRSegmentedPicker picker("Scope", {label});
        SidebarItem row(label, "network");
        TRCopyButton copy(label);
        ModeCard card("Default", label, "127.0.0.1 only", false);
        const QList<QWidget*> controls{
            disclosure.header(), &toggle, &box, picker.segment(0), &row, &copy, &card};
        for (QWidget* control : controls)
            QCOMPARE(accessibleName(control), label);
    }

    // The product's words are literal: an ampersand is shown, not turned into a shortcut. A screen that
    // turns Start into Stop keeps the one button, its focus and what listens to it. (That an icon-only
    // button is named is the accessibility walk's, over every control the gallery shows.)
    void switchingLooksKeepsTheSameButtonItsFocusAndItsConnections() {
        TestHost host;
        auto* button = new TRButton("Download & verify", KeldmarchButtonStyle{});
        host.place(button, 200);
        button->setFocus();
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QCOMPARE(button->displayedText(), QStringLiteral("DOWNLOAD & VERIFY"));

        button->setText("Stop server");
        button->setButtonStyle(GhostButtonStyle{.danger = true});
        QVERIFY(!button->isPrimary());
        QCOMPARE(button->displayedText(), QStringLiteral("Stop server"));
        QVERIFY(button->hasFocus());
        QCOMPARE(host.findChildren<QAbstractButton*>().size(), 1);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(accessibleName(button), QStringLiteral("Stop server"));
    }

    // A menu row shows its focus ring once the keyboard moves there, not when a popup focuses its first row.
    void theFocusRingShowsOnlyAfterKeyboardMoves() {
        TestHost host;
        auto* item = new MBItem("macwindow", "Open Tavrin Keldmarch…");
        host.place(item, 320);
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        const auto edge = [&] { return item->grab().toImage().pixelColor(3, item->height() / 2); };
        item->clearFocus();
        const QColor plain = edge();
        item->setFocus(Qt::ActiveWindowFocusReason);
        QCOMPARE(edge(), plain);
        item->clearFocus();
        item->setFocus(Qt::TabFocusReason);
        QVERIFY(edge() != plain);
    }

    // The header's sign says which way a press goes; the owner's flag and the header agree both ways, and
    // only changes are announced.
    void pressingTheHeaderShowsAndHidesTheContent() {
        TestHost host;
        TRDisclosure disclosure("Technical details");
        auto* row = new QLabel("PID 4242");
        disclosure.body()->addWidget(row);
        host.place(&disclosure, 400);
        QSignalSpy changed(&disclosure, &TRDisclosure::expandedChanged);
        QVERIFY(!row->isVisible() && disclosure.header()->sign() == "+");
        QTest::mouseClick(disclosure.header(), Qt::LeftButton);
        QVERIFY(disclosure.isExpanded() && row->isVisible() && disclosure.header()->sign() == "−");
        QTRY_COMPARE(disclosure.contentArea()->maximumHeight(), QWIDGETSIZE_MAX);
        QTest::mouseClick(disclosure.header(), Qt::LeftButton);
        QTRY_VERIFY(!row->isVisible());
        disclosure.setExpanded(true);
        disclosure.setExpanded(true);
        QCOMPARE(changed.count(), 3);
        QVERIFY(disclosure.header()->isChecked() && disclosure.contentArea()->isVisibleTo(&disclosure));
    }
};

class SegmentedPickerTest : public QObject {
    Q_OBJECT
private slots:
    // A press chooses and a second press keeps the choice; only the user's choices are reported as such.
    void aPressChoosesAndNeverUnchooses() {
        TestHost host;
        auto* picker = new TRSegmentedPicker("Scope", {"Inference", "Read-only"});
        picker->setTitleHidden(true);
        host.place(picker, picker->sizeHint().width());
        QSignalSpy changed(picker, &TRSegmentedPicker::currentIndexChanged);
        QSignalSpy activated(picker, &TRSegmentedPicker::activated);
        picker->setCurrentIndex(0);
        QTest::mouseClick(picker->segment(1), Qt::LeftButton);
        QTest::mouseClick(picker->segment(1), Qt::LeftButton);
        QCOMPARE(picker->currentIndex(), 1);
        QVERIFY(picker->segment(1)->isChecked() && !picker->segment(0)->isChecked());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(activated.count(), 2);
        QCOMPARE(activated.first().first().toInt(), 1);
    }

    // The arrows move the choice (and the focus with it) and stop at the ends; Home and End jump. While
    // nothing is chosen the first segment holds the focus, and a key chooses from there.
    void theKeysMoveTheChoice() {
        const std::tuple<int, Qt::Key, int> cases[] = {
            {1, Qt::Key_Right, 2}, {1, Qt::Key_Down, 2}, {1, Qt::Key_Left, 0}, {1, Qt::Key_Up, 0},
            {0, Qt::Key_Left, 0},  {3, Qt::Key_Right, 3}, {0, Qt::Key_End, 3}, {2, Qt::Key_Home, 0},
            {-1, Qt::Key_Right, 1}, {-1, Qt::Key_Left, 0}, {-1, Qt::Key_Space, 0}}; // -1: nothing chosen
        for (const auto& [start, key, chosen] : cases) {
            TestHost host;
            auto* picker = new TRSegmentedPicker("Retention", {"7 days", "30 days", "90 days", "365 days"});
            picker->setTitleHidden(true);
            picker->setCurrentIndex(start);
            host.place(picker, picker->sizeHint().width());
            picker->setFocus();
            QCOMPARE(QApplication::focusWidget(), picker->segment(std::max(start, 0)));
            QSignalSpy activated(picker, &TRSegmentedPicker::activated);
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(picker->currentIndex(), chosen);
            QCOMPARE(QApplication::focusWidget(), picker->segment(chosen));
            QCOMPARE(activated.count(), chosen == start ? 0 : 1);
        }
    }

    // Screen readers meet a group named by the hidden title, holding radio buttons of which the chosen one
    // is checked; a value the picker does not list leaves all unchecked, and new options keep the choice
    // while it is still one of them. One tab stop: the chosen segment.
    void screenReadersMeetANamedGroupOfRadioButtons() {
        TRSegmentedPicker picker("Retention", {"7 days", "30 days", "90 days", "365 days"});
        picker.setTitleHidden(true);
        QAccessibleInterface* group = QAccessible::queryAccessibleInterface(&picker);
        QCOMPARE(group->role(), QAccessible::Grouping);
        QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Retention"));
        const auto read = [&] { // the hidden title is not met a second time
            QStringList radios;
            for (int i = 0; i < group->childCount(); ++i)
                if (QAccessibleInterface* radio = group->child(i); radio->role() == QAccessible::RadioButton)
                    radios << radio->text(QAccessible::Name) + (radio->state().checked ? " (x)" : "");
            return radios.join(", ");
        };
        const auto tabStops = [&] {
            QStringList stops;
            for (int i = 0; i < picker.count(); ++i)
                if (picker.segment(i)->focusPolicy() & Qt::TabFocus)
                    stops << picker.segment(i)->label();
            return stops;
        };
        picker.setCurrentIndex(2);
        QCOMPARE(read(), "7 days, 30 days, 90 days (x), 365 days");
        QCOMPARE(group->childCount(), 4);
        QCOMPARE(tabStops(), QStringList{"90 days"});
        picker.setCurrentIndex(9);
        QCOMPARE(read(), "7 days, 30 days, 90 days, 365 days");
        picker.setCurrentIndex(1);
        picker.setOptions({"Inference", "Read-only"});
        QCOMPARE(read(), "Inference, Read-only (x)");
        picker.setOptions({"Inference"});
        QCOMPARE(picker.currentIndex(), -1);
    }
};

// A list of key rows that a poll publishes again and again; a key whose id ends in "-" offers no Revoke.
class KeyedListTest : public QObject {
    Q_OBJECT
    TRKeyedList* list = nullptr;
    QStringList made, updated;
    using Button = TRButton* (KeyListRow::*)() const;

    void show(const QStringList& ids) {
        const auto content = [&](qsizetype i) {
            KeyListRowContent row;
            row.label = ids[i];
            row.revocable = !ids[i].endsWith('-');
            return row;
        };
        const auto make = [&](qsizetype i) -> QWidget* { made << ids[i]; return new KeyListRow(content(i)); };
        list->setIds(ids, make, [&](QWidget* row, qsizetype i) {
            updated << ids[i];
            static_cast<KeyListRow*>(row)->setContent(content(i));
        });
    }
    TRButton* button(const QString& id, Button which) const { return (static_cast<KeyListRow*>(list->row(id))->*which)(); }

private slots:
    // A listed id keeps its row, made once and then brought up to date, wherever it moves; an id listed
    // twice has one row. Whose row went lands on the same button of the row that took its place, or
    // the next one that row shows; at the end of the list on the row before; with none left, elsewhere.
    void rowsAreKeptByIdAndTheFocusStaysInTheList() {
        TestHost host;
        QWidget page;
        list = new TRKeyedList(&page);
        auto* elsewhere = new QPushButton("Elsewhere", &page);
        list->setFocusWhenEmpty(elsewhere);
        host.place(&page, 400, 0, 300);
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        show({"a", "b", "c"});
        QWidget* a = list->row("a");
        show({"c", "d", "a", "d"});
        QVERIFY(list->row("a") == a && list->layout()->indexOf(a) == 2 && !list->row("b") && list->count() == 3);
        QCOMPARE(made, (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(updated, (QStringList{"c", "a"}));

        const Button revoke = &KeyListRow::revokeButton, rotate = &KeyListRow::rotateButton, remove = &KeyListRow::deleteButton;
        const struct {
            QStringList before, after;
            const char* focusedRow;
            Button focused;
            const char* landsRow;
            Button lands;
        } cases[] = {{{"a", "b", "c"}, {"a", "c"}, "b", remove, "c", remove},
                     {{"a", "b", "c-"}, {"a", "c-"}, "b", revoke, "c-", rotate},
                     {{"a", "b"}, {"a"}, "b", revoke, "a", revoke},
                     {{"a"}, {}, "a", rotate, nullptr, nullptr}};
        for (const auto& c : cases) {
            show(c.before);
            button(c.focusedRow, c.focused)->setFocus();
            show(c.after);
            QCOMPARE(QApplication::focusWidget(), c.landsRow ? static_cast<QWidget*>(button(c.landsRow, c.lands)) : elsewhere);
        }
    }
};

int main(int argc, char** argv) {
    return runKitTests<ButtonsTest, SegmentedPickerTest, KeyedListTest>(argc, argv);
}

#include "KitControlsTest.moc"
