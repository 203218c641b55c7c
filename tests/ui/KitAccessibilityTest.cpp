// What the kit does for keyboard and screen-reader users that needs no reader to check: the sidebar's
// arrow keys, scroll areas that never answer for a child they lack, and elided text read and copied
// whole. How it all reads through a real reader is the accessibility walk's
// (tests/app/AccessibilityWalkTest); every control's focus ring is pictured and checked by the gallery's.
#include "KitTestMain.h"

#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/TRElidedText.h"

#include <QAccessible>
#include <QClipboard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

using namespace tavrin;

class KitAccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    // The chosen row is the sidebar's one Tab stop; the arrows move the choice and the focus together.
    void theArrowKeysMoveBetweenTheSidebarsRows() {
        TestHost host;
        auto* sidebar = new KeldmarchSidebar({{"Status", "gauge.medium"}, {"API Keys", "key.fill"}, {"Logs", "network"}});
        host.place(sidebar, KeldmarchSidebar::kWidth);
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QCOMPARE(sidebar->item(0)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QCOMPARE(sidebar->item(1)->focusPolicy() & Qt::TabFocus, 0);
        sidebar->item(0)->setFocus(Qt::TabFocusReason);
        const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 2},
                                                 {Qt::Key_Home, 0}, {Qt::Key_End, 2},  {Qt::Key_Up, 1}};
        for (const auto& [key, expected] : steps) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(sidebar->selection(), expected);
            QCOMPARE(QApplication::focusWidget(), sidebar->item(expected));
            QVERIFY(QAccessible::queryAccessibleInterface(sidebar->item(expected))->state().selected);
        }
        QCOMPARE(sidebar->item(1)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        QCOMPARE(sidebar->item(0)->focusPolicy() & Qt::TabFocus, 0);
    }

    // A reader asking a scroll area for a child it no longer has (its scroll bar hid as the content
    // shrank) gets no object; Qt 6.4's own interface read past the end of its list and crashed.
    void aScrollAreaAnswersOnlyForTheChildrenItHas() {
        TestHost host;
        auto* area = new QScrollArea;
        auto* content = new QWidget;
        area->setWidget(content);
        area->setWidgetResizable(true);
        host.place(area, 200);
        area->resize(200, 100);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(area);
        for (int contentHeight : {400, 50}) {
            content->setMinimumHeight(contentHeight);
            QTRY_COMPARE(area->verticalScrollBar()->isVisible(), contentHeight > 100);
            const int children = contentHeight > 100 ? 2 : 1; // the viewport, and the scroll bar while shown
            QCOMPARE(reader->childCount(), children);
            QVERIFY(reader->child(children - 1));
            for (int missing : {children, 2, 1 << 30})
                if (missing >= children)
                    QVERIFY(!reader->child(missing));
        }
    }

    // A key shown cut in the middle is selected and copied whole, by a reader as by the keyboard; on a
    // well (the issued-key banner's) as plain. A new key is not left selected for the user. That it is
    // heard whole is the accessibility walk's.
    void elidedTextIsReadSelectedAndCopiedWhole() {
        const QString key = "tvn_live_4f2a9c1e7b3d48a0b6e5c2d9f1a7e3b8c4d6a2f0";
        for (bool well : {false, true}) {
            TestHost host;
            auto* text = new TRElidedText(key);
            text->setWell(well);
            host.place(text, well ? 220 : 120);
            const QString shown = text->displayedText();
            QVERIFY2(shown.contains("…") && shown.startsWith("tvn_") && shown.endsWith(key.right(2)), qPrintable(shown));
            QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(text);
            reader->textInterface()->setSelection(0, 3, 7);
            int start = -1, end = -1;
            reader->textInterface()->selection(0, &start, &end);
            QCOMPARE(reader->textInterface()->text(start, end), key);
            text->setSelected(false);
            QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(20, text->height() / 2));
            QVERIFY(text->isSelected());
            QGuiApplication::clipboard()->clear();
            QSignalSpy copied(text, &TRElidedText::copied);
            QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), key);
            QCOMPARE(copied.count(), 1);
            text->setText("tk-short");
            QVERIFY(!text->isSelected());
            QCOMPARE(text->displayedText(), "tk-short");
        }
    }
};

int main(int argc, char** argv) { return runKitTests<KitAccessibilityTest>(argc, argv); }

#include "KitAccessibilityTest.moc"
