// The kit's views of API keys: the token box that shows a secret cut short but hands it over whole, and
// the key row that changes in place.
#include "KitTestMain.h"

#include "ui/kit/KeyListRow.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRTokenBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>

using namespace tavrin;

class TokenBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Narrow, the box shows both ends with "…" between; whatever it shows, screen readers, selection
    // and copying get the whole token.
    void aCutTokenIsStillReadSelectedAndCopiedWhole() {
        const QString token = "tk-9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
        TestHost host;
        auto* box = new TRTokenBox(token);
        host.place(box, 220);
        const QString shown = box->displayedText();
        QVERIFY2(shown.size() < token.size() && shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(shown.startsWith(token.left(4)) && shown.endsWith(token.right(4)));
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), token);

        QGuiApplication::clipboard()->setText("something else");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(20, box->height() / 2));
        QVERIFY(box->isSelected());
        QSignalSpy copied(box, &TRTokenBox::copied);
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(copied.count(), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), token);

        box->setToken("tk-short");
        QVERIFY(!box->isSelected()); // a new secret is not selected for the user
        QCOMPARE(box->displayedText(), "tk-short");
    }
};

class KeyListRowTest : public QObject {
    Q_OBJECT
private slots:
    // A changed key changes its row's texts and buttons, not the widgets: a revoked key loses Revoke,
    // and the keyboard focus on it moves to Rotate rather than out of the row.
    void aChangedKeyChangesItsRowInPlace() {
        KeyListRowContent active{.label = "Laptop",
                                 .status = "Active",
                                 .statusKind = PillKind::ok,
                                 .scope = "inference",
                                 .usage = {"tk-3f9a…", "Last used never", "0 requests"},
                                 .revocable = true};
        TestHost host;
        auto* row = new KeyListRow(active);
        host.place(row, 600);
        TRButton* revoke = row->revokeButton();
        QCOMPARE(revoke->accessibleName(), "Revoke key Laptop");
        revoke->setFocus();

        KeyListRowContent revoked = active;
        revoked.label = "Old laptop";
        revoked.status = "Revoked";
        revoked.statusKind = PillKind::muted;
        revoked.scope.clear();
        revoked.usage = {"tk-3f9a…", "Last used 2025-03-01T10:00:00Z"};
        revoked.revocable = false;
        row->setContent(revoked);
        QCOMPARE(row->revokeButton(), revoke);
        QVERIFY(!revoke->isVisibleTo(row));
        QVERIFY(row->rotateButton()->hasFocus());
        QCOMPARE(row->deleteButton()->accessibleName(), "Delete key Old laptop");
        QStringList texts;
        for (const QLabel* label : row->findChildren<QLabel*>())
            if (label->isVisibleTo(row))
                texts << label->text();
        QCOMPARE(texts, (QStringList{"Old laptop", "Revoked", "tk-3f9a…", "Last used 2025-03-01T10:00:00Z"}));
    }
};

int main(int argc, char** argv) { return runKitTests<TokenBoxTest, KeyListRowTest>(argc, argv); }

#include "KitKeyViewsTest.moc"
