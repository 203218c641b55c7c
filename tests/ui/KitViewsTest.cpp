// The kit's static views as a user sees them: which rows and texts appear, where, and what copying does.
#include "KitTestMain.h"

#include "ui/kit/TRCopyButton.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisplayName.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRScrollBar.h"
#include "ui/kit/TRStepRail.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <memory>

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

class CardAndBannerTest : public QObject {
    Q_OBJECT
    TestHost host;
private slots:
    // A header row shows only for what fills it: no room is kept for a header a card does not have.
    void aCardShowsAHeaderOnlyForWhatFillsIt() {
        TRCard plain;
        auto* content = new QLabel("Only content");
        plain.body()->addWidget(content);
        host.place(&plain, 400);
        QCOMPARE(shownTexts(plain), QStringList{"Only content"});
        QCOMPARE(geometryIn(plain, content).top(), 18);
        TRCard card;
        auto* accessory = new TRPill("Supported", PillKind::ok, {.withDot = true});
        card.setAccessory(accessory);
        card.body()->addWidget(new QLabel("Body"));
        host.place(&card, 420);
        QCOMPARE(shownTexts(card), (QStringList{"Supported", "Body"}));
        QCOMPARE(geometryIn(card, accessory).right(), card.width() - 18 - 1); // at the trailing edge
    }

    // A server ends its one-line answers with a line break; what shows them draws no empty line for it.
    void aServersTrailingLineBreakDrawsNoEmptyLine() {
        const QString said = "Server returned HTTP 409: there is no staged model to promote";
        TRBanner plain(BannerKind::danger, "exclamationmark.triangle.fill", {}, said);
        TRBanner banner(BannerKind::danger, "exclamationmark.triangle.fill");
        banner.setMessage(said + "\r\n");
        QCOMPARE(banner.heightForWidth(480), plain.heightForWidth(480));
        TRMessageLine line;
        line.setMessage("\n"); // nothing to say: nothing shown
        QVERIFY(line.isHidden());
    }

    // A copy replaces whatever was on the clipboard, in every format it was in: something else is there
    // before, as text and as rich text, and a rich paste must not bring that back. Which rows copy, and
    // that they copy the value of now, is the Status tab's test, against the server.
    void copyingARowReplacesTheClipboardWithTheValueAsTextAlone() {
        auto* previous = new QMimeData;
        previous->setText("previous");
        previous->setHtml("<b>previous</b>");
        QGuiApplication::clipboard()->setMimeData(previous);
        KVRow row("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130});
        host.place(&row, 480);
        QSignalSpy copied(&row, &KVRow::copied);
        QTest::mouseClick(row.findChild<TRCopyButton*>(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4242"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
        QCOMPARE(copied.count(), 1);
    }

    // A password is marked for clipboard managers as not to be kept, and taken away after its
    // lifetime; something copied since stays where it is.
    void aCopiedPasswordIsMarkedSecretAndDoesNotOutstayItsWelcome() {
        auto* clipboard = QGuiApplication::clipboard();
        copySecretText(QStringLiteral("pw-1"), std::chrono::milliseconds(100));
        QCOMPARE(clipboard->text(), QStringLiteral("pw-1"));
        QCOMPARE(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        QTRY_VERIFY(clipboard->text().isEmpty());

        copySecretText(QStringLiteral("pw-2"), std::chrono::milliseconds(100));
        copyText(QStringLiteral("a later copy"));
        QTest::qWait(300);
        QCOMPARE(clipboard->text(), QStringLiteral("a later copy"));
    }
};

class InfoViewsTest : public QObject {
    Q_OBJECT
    TestHost host;
private slots:
    // An optional line (a header's lead, a tile's detail) shows only while it has text.
    void anOptionalLineShowsOnlyWhileItHasText() {
        TabHeader header("Server", "Your server is stopped.");
        header.setLead("Start it whenever you need it.");
        QCOMPARE(shownTexts(header), (QStringList{"SERVER", "Your server is stopped.", "Start it whenever you need it."}));
        header.setLead({});
        QCOMPARE(shownTexts(header), (QStringList{"SERVER", "Your server is stopped."}));
        StatTile tile("cube", "Model", "Not loaded", "Server not loaded");
        tile.setDetail({});
        QCOMPARE(shownTexts(tile), (QStringList{"MODEL", "Not loaded"}));
    }

    // A list to edit shows no scroll bar while its lines fit, and the kit's thin one, never the
    // platform's with its arrows, once they do not; whether the text came before or after it showed.
    // (Lists filled before they show, that fit, are the Network tab's, against the server.)
    void aTextAreaScrollsWithTheKitsBarOnlyWhenItsTextOverflows_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("textBeforeShown");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("three lines, typed once shown") << 3 << false << false;
        QTest::newRow("fifty lines, filled before shown") << 50 << true << true;
        QTest::newRow("fifty lines, typed once shown") << 50 << false << true;
    }
    void aTextAreaScrollsWithTheKitsBarOnlyWhenItsTextOverflows() {
        QFETCH(int, lines);
        QFETCH(bool, textBeforeShown);
        QFETCH(bool, scrolls);
        QStringList entries;
        for (int n = 1; n <= lines; ++n)
            entries << QStringLiteral("https://app%1.example").arg(n);
        // Laid out as a screen lays it out: in a column, at the height it asks for.
        const auto column = std::make_unique<QWidget>();
        auto* stack = new QVBoxLayout(column.get());
        auto* editor = new TRTextEditor(70, true);
        stack->addWidget(editor);
        stack->addStretch(1);
        if (textBeforeShown)
            editor->setText(entries.join('\n'));
        host.place(column.get(), 420, 0, 400);
        if (!textBeforeShown)
            editor->editor()->insertPlainText(entries.join('\n'));
        settleLayouts();

        const QScrollBar* bar = editor->editor()->verticalScrollBar();
        QVERIFY(qobject_cast<const TRScrollBar*>(bar));
        QCOMPARE(bar->isVisible(), scrolls);
        QVERIFY(!editor->editor()->horizontalScrollBar()->isVisible());
        if (scrolls)
            QVERIFY(bar->width() <= TRScrollBar::kThickness);
    }

    // The editor grows with its text from its minimum height; setting the text it has is no change.
    void theEditorGrowsWithItsTextAndReportsOnlyChanges() {
        TRTextEditor editor(70, true);
        QSignalSpy changed(&editor, &TRTextEditor::textChanged);
        editor.setText("10.0.0.0/8\n192.168.1.0/24\n172.16.0.0/12\nfd00::/8\n127.0.0.1");
        QVERIFY(editor.sizeHint().height() > 70);
        QCOMPARE(changed.count(), 1);
        editor.setText(editor.text()); // not a change
        QCOMPARE(changed.count(), 1);
    }

    // A step's title too long for the rail goes on over a further line, its row growing with it and
    // the rows below moving down; a title that fits keeps the rail's usual row.
    void aStepTitleTooLongForTheRailGoesOnOverAFurtherLine_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("tooLong");
        QTest::newRow("fits") << "Admin password" << false;
        QTest::newRow("too long") << "Mot de passe administrateur de cet ordinateur" << true;
    }
    void aStepTitleTooLongForTheRailGoesOnOverAFurtherLine() {
        QFETCH(QString, title);
        QFETCH(bool, tooLong);
        TRStepRail rail("First-run setup", {"Welcome", title, "Done"});
        rail.setStates({StepState::done, StepState::current, StepState::upcoming});
        host.place(&rail, TRStepRail::kWidth, 0, 480);
        settleLayouts();
        const TRStepRow* above = rail.row(0);
        const TRStepRow* step = rail.row(1);
        const TRStepRow* below = rail.row(2);
        QCOMPARE(step->sizeHint().width() > step->width(), tooLong); // one line would not hold it
        const int oneLine = above->height();
        const QFontMetrics metrics(Theme::font(TextRole::bodySemibold));
        if (tooLong)
            QVERIFY2(step->height() >= oneLine + metrics.lineSpacing(),
                     qPrintable(QString("%1 px high").arg(step->height())));
        else
            QCOMPARE(step->height(), oneLine);
        QVERIFY(step->geometry().top() > above->geometry().bottom());
        QVERIFY(below->geometry().top() > step->geometry().bottom());
    }

    // The Models tab's large name: at most two lines, broken between words or, for one long word,
    // anywhere, cut with "…" only when it does not fit them; never wider than it is given.
    void aNameTakesAtMostTwoLinesOfTheWidthItIsGiven_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << "KELDMARCH" << 1 << false;
        QTest::newRow("two words on two lines") << "KELDMARCH KELDMARCH" << 2 << false;
        QTest::newRow("one long word") << "TAVRIN-SAMPLE-2026.11.03-NIGHTLY-Q4-INSTRUCT-EXTENDED-CONTEXT-LONG" << 2 << true;
    }
    void aNameTakesAtMostTwoLinesOfTheWidthItIsGiven() {
        QFETCH(QString, name);
        QFETCH(bool, cut);
        TRDisplayName label(name);
        const int width = 240;
        QVERIFY(label.minimumSizeHint().width() < width);
        host.place(&label, width);
        const QStringList shown = label.shownLines();
        QTEST(int(shown.size()), "lines");
        QCOMPARE(shown.last().endsWith("…"), cut);
        if (!cut)
            QCOMPARE(shown.join("").remove(' '), QString(name).remove(' '));
        QCOMPARE(label.text(), name); // what a screen reader reads: all of it
        QCOMPARE(label.height(), label.heightForWidth(width));
        const QFontMetricsF metrics(label.font());
        for (const QString& line : shown)
            QVERIFY2(metrics.horizontalAdvance(line) <= width + 1, qPrintable(line));
    }
};

int main(int argc, char** argv) { return runKitTests<CardAndBannerTest, InfoViewsTest>(argc, argv); }

#include "KitViewsTest.moc"
