// The kit's static views as a user sees them: which rows and texts appear, where, and what copying does.
#include "KitTestMain.h"

#include "ui/kit/TRCopyButton.h"
#include "ui/kit/EndpointBox.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace tavrin;

namespace {

// The texts a user can read in a widget, top to bottom.
QStringList shownTexts(const QWidget& root) {
    QList<QLabel*> labels;
    for (QLabel* label : root.findChildren<QLabel*>())
        if (label->isVisibleTo(&root) && !label->text().isEmpty())
            labels << label;
    std::sort(labels.begin(), labels.end(), [&](QLabel* a, QLabel* b) {
        return a->mapTo(&root, QPoint()).y() < b->mapTo(&root, QPoint()).y();
    });
    QStringList texts;
    for (QLabel* label : labels)
        texts << label->text();
    return texts;
}

QRect geometryIn(const QWidget& root, const QWidget* child) {
    return QRect(child->mapTo(&root, QPoint()), child->size());
}


} // namespace

class CardTest : public QObject {
    Q_OBJECT
    TestHost host;
private slots:
    void aCardWithNothingForTheHeaderStartsWithItsContent() {
        TRCard card;
        card.body()->addWidget(new QLabel("Only content"));
        host.place(&card, 400);
        QCOMPARE(shownTexts(card), QStringList{"Only content"});
        QVERIFY(!card.headerRow()->isVisible());
        // The content sits right under the card's padding: no room is kept for a header.
        const auto* content = card.findChildren<QLabel*>().last();
        QCOMPARE(geometryIn(card, content).top(), 18);
    }

    void aCardWithOnlyAnAccessoryShowsItAtTheTrailingEdge() {
        TRCard card;
        auto* accessory = new TRPill("Supported", PillKind::ok, {.withDot = true});
        card.setAccessory(accessory);
        card.body()->addWidget(new QLabel("Body"));
        host.place(&card, 420);
        QVERIFY(card.headerRow()->isVisible());
        QCOMPARE(shownTexts(card), (QStringList{"Supported", "Body"}));
        QCOMPARE(geometryIn(card, accessory).right(), card.width() - 18 - 1);
        QVERIFY(geometryIn(card, accessory).bottom() < geometryIn(card, card.findChildren<QLabel*>().last()).top());
    }

};

class BannerTest : public QObject {
    Q_OBJECT
    TestHost host;
private slots:
    void withNeitherTitleNorMessageOnlyIconAndTrailingShow() {
        TRBanner banner(BannerKind::warn, "lock.fill");
        auto* trailing = new QPushButton("Open Diagnostics");
        banner.setTrailing(trailing);
        host.place(&banner, 480);
        QVERIFY(shownTexts(banner).isEmpty());
        auto* icon = banner.findChild<TRSymbol*>();
        QVERIFY(icon && icon->isVisible());
        QCOMPARE(icon->symbol(), QStringLiteral("lock.fill"));
        QVERIFY(trailing->isVisible());
        QCOMPARE(geometryIn(banner, trailing).right(), banner.width() - 14 - 1);
        QCOMPARE(banner.height(), 12 + std::max(trailing->sizeHint().height(), icon->sizeHint().height()) + 12);
    }

    void titleAndMessageShowOnlyWhenPresent_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("both") << "Restart required after promoting." << "Use the Status tab."
                              << QStringList{"Restart required after promoting.", "Use the Status tab."};
        QTest::newRow("title only") << "The installer runs separately" << "" << QStringList{"The installer runs separately"};
        QTest::newRow("message only") << "" << "Promoted." << QStringList{"Promoted."};
    }
    void titleAndMessageShowOnlyWhenPresent() {
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(QStringList, shown);
        TRBanner banner(BannerKind::info, "info.circle", title, message);
        host.place(&banner, 480);
        QCOMPARE(shownTexts(banner), shown);
        // Texts can also be withdrawn later.
        banner.setTitle({});
        banner.setMessage({});
        QVERIFY(shownTexts(banner).isEmpty());
    }
};

class PillTest : public QObject {
    Q_OBJECT
private slots:
    void monoPillsShowTheirLabelUpperCased_data() {
        QTest::addColumn<bool>("mono");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mono") << true << "IN FLIGHT · 2";
        QTest::newRow("plain") << false << "In flight · 2";
    }
    void monoPillsShowTheirLabelUpperCased() {
        QFETCH(bool, mono);
        QFETCH(QString, shown);
        TRPill pill("In flight · 2", PillKind::info, {.withDot = false, .mono = mono});
        QCOMPARE(shownTexts(pill), QStringList{shown});
        QCOMPARE(pill.label(), QStringLiteral("In flight · 2"));
    }

    void aPillWithoutDotDrawsNoDot() {
        auto inkOf = [](TRPill& pill) {
            pill.adjustSize();
            const QImage image = pill.grab().toImage();
            const QColor fg = pillForeground(pill.kind());
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (qAbs(c.red() - fg.red()) < 24 && qAbs(c.green() - fg.green()) < 24 &&
                        qAbs(c.blue() - fg.blue()) < 24)
                        ++count;
                }
            return std::pair{count, image.width() / image.devicePixelRatio()};
        };
        TRPill dotted("Ready", PillKind::ok, {.withDot = true});
        TRPill plain("Ready", PillKind::ok, {.withDot = false});
        const auto [dottedInk, dottedWidth] = inkOf(dotted);
        const auto [plainInk, plainWidth] = inkOf(plain);
        // A 6-point dot is some 20 to 36 fully coloured pixels, and 6 + 5 points of width.
        QVERIFY2(dottedInk - plainInk >= 16, qPrintable(QStringLiteral("%1 vs %2").arg(dottedInk).arg(plainInk)));
        QCOMPARE(dottedWidth - plainWidth, 11);
        plain.setWithDot(true);
        QCOMPARE(inkOf(plain).first, dottedInk);
    }
};

class CopyTest : public QObject {
    Q_OBJECT
    TestHost host;
private slots:
    void init() {
        // Something else on the clipboard, in two formats, so that replacing it can be seen.
        auto* previous = new QMimeData;
        previous->setText("previous");
        previous->setHtml("<b>previous</b>");
        QGuiApplication::clipboard()->setMimeData(previous);
    }

    void aRowThatIsNotCopyableHasNoCopyButton() {
        KVRow row("Server version", "0.9.3", {.monospaced = true, .copyable = false});
        QVERIFY(row.findChildren<QAbstractButton*>().isEmpty());
        QCOMPARE(shownTexts(row), (QStringList{"SERVER VERSION", "0.9.3"}));
    }

    void copyingARowReplacesTheClipboardWithTheValue() {
        KVRow row("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130});
        host.place(&row, 480);
        QSignalSpy copied(&row, &KVRow::copied);
        auto* button = row.findChild<TRCopyButton*>();
        QVERIFY(button);
        // Heard apart from its row, the button says what it copies.
        QCOMPARE(button->accessibleName(), QStringLiteral("Copy PID"));
        QCOMPARE(button->toolTip(), QStringLiteral("Copy"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4242"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
        QCOMPARE(copied.count(), 1);
        row.setValue("4343");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4343"));
    }

    void theCopyButtonWorksFromTheKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("return") << int(Qt::Key_Return);
    }
    void theCopyButtonWorksFromTheKeyboard() {
        QFETCH(int, key);
        EndpointBox box("Localhost", "http://127.0.0.1:11434/v1");
        host.place(&box, 480);
        QVERIFY(box.copyButton()->focusPolicy() & Qt::TabFocus);
        box.copyButton()->setFocus();
        QTest::keyClick(box.copyButton(), Qt::Key(key));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://127.0.0.1:11434/v1"));
    }

};

class TabHeaderTest : public QObject {
    Q_OBJECT
private slots:
    void theLeadAppearsOnlyWhenGiven() {
        TabHeader header("Server", "Your server is stopped.");
        QCOMPARE(shownTexts(header), (QStringList{"SERVER", "Your server is stopped."}));
        header.setLead("Start it whenever you need it.");
        QCOMPARE(shownTexts(header), (QStringList{"SERVER", "Your server is stopped.", "Start it whenever you need it."}));
        header.setLead({});
        QCOMPARE(shownTexts(header).size(), 2);
    }
};

class InfoViewsTest : public QObject {
    Q_OBJECT
private slots:
    void aTileShowsItsDetailOnlyWhenThereIsOne() {
        StatTile tile("cube", "Model", "Not loaded", "Server not loaded");
        QCOMPARE(shownTexts(tile), (QStringList{"MODEL", "Not loaded", "Server not loaded"}));
        tile.setDetail({});
        QCOMPARE(shownTexts(tile), (QStringList{"MODEL", "Not loaded"}));
    }

    void theEditorIsAtLeastItsMinimumHeightAndGrowsWithItsText() {
        TRTextEditor editor(70, true);
        QCOMPARE(editor.sizeHint().height(), 70);
        QSignalSpy changed(&editor, &TRTextEditor::textChanged);
        editor.setText("10.0.0.0/8\n192.168.1.0/24\n172.16.0.0/12\nfd00::/8\n127.0.0.1");
        QVERIFY(editor.sizeHint().height() > 70);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(0).toString(), editor.text());
        // Setting the same text again is not a change.
        editor.setText(editor.text());
        QCOMPARE(changed.count(), 1);
    }
};

int main(int argc, char** argv) {
    return runKitTests<CardTest, BannerTest, PillTest, CopyTest, TabHeaderTest, InfoViewsTest>(argc, argv);
}

#include "KitViewsTest.moc"
