// The token box: it shows a secret cut short but hands it over whole.
#include "KitTestMain.h"

#include "ui/kit/TRTokenBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
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

int main(int argc, char** argv) { return runKitTests<TokenBoxTest>(argc, argv); }

#include "KitKeyViewsTest.moc"
