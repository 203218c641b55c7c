// The gallery renders every page of the kit to real PNG files without a display, and every kind of
// control the keyboard reaches with and without its focus ring; and every kind of button it shows does
// what a click does, whichever way it is worked.
#include "KitTestMain.h"

#include "support/Basics.h"
#include "ui/gallery/KitGallery.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRSegmentedPicker.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tavrin;

namespace {

// A button of each kind the gallery shows, enabled, and one not checked where there is one (a choice not
// made yet): by its page, its kind and its rank among the buttons of that page, so that a gallery built
// anew holds it at the same place.
struct GalleryButton {
    std::size_t page;
    QString kind;
    qsizetype rank;
    bool checked;
};

std::vector<GalleryButton> buttonOfEachKind() {
    std::vector<GalleryButton> found;
    QHash<QString, std::size_t> kinds;
    const auto pages = kitGalleryPages();
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const auto buttons = pages[page]->findChildren<QAbstractButton*>();
        for (qsizetype rank = 0; rank < buttons.size(); ++rank) {
            QAbstractButton* button = buttons[rank];
            const GalleryButton candidate{page, button->metaObject()->className(), rank, button->isChecked()};
            if (!button->isEnabled() || !button->isVisibleTo(pages[page].get()))
                continue;
            if (!kinds.contains(candidate.kind)) {
                kinds.insert(candidate.kind, found.size());
                found.push_back(candidate);
            } else if (GalleryButton& kept = found[kinds[candidate.kind]];
                       kept.checked && !candidate.checked) {
                kept = candidate;
            }
        }
    }
    return found;
}

// Works the button `way` on a gallery page of its own, and returns what the button and its owner said up
// to its click, and its state then.
QStringList work(const GalleryButton& which, const QString& way) {
    QStringList heard; // outlives the page, which says nothing more as it goes
    TestHost host;
    auto pages = kitGalleryPages();
    QWidget* page = pages[which.page].release();
    QAbstractButton* button = page->findChildren<QAbstractButton*>().value(which.rank);
    host.place(page, page->width());
    if (!QTest::qWaitForWindowActive(&host))
        return {"never active"};
    const auto note = [&heard](const QString& what) { heard << what; };
    QObject::connect(button, &QAbstractButton::pressed, [=] { note("pressed"); });
    QObject::connect(button, &QAbstractButton::released, [=] { note("released"); });
    QObject::connect(button, &QAbstractButton::toggled,
                     [=](bool on) { note(QString("toggled %1").arg(on)); });
    QObject::connect(button, &QAbstractButton::clicked,
                     [=](bool on) { note(QString("clicked %1").arg(on)); });
    if (auto* picker = qobject_cast<TRSegmentedPicker*>(button->parentWidget()))
        QObject::connect(picker, &TRSegmentedPicker::activated,
                         [=](int i) { note(QString("chose %1").arg(i)); });
    button->setFocus();
    if (way == "mouse") {
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (way == "reader") {
        QAccessibleActionInterface* actions =
            QAccessible::queryAccessibleInterface(button)->actionInterface();
        actions->doAction(actions->actionNames().value(0)); // its default action, whatever its name
    } else {
        QTest::keyClick(button, way == "space"    ? Qt::Key_Space
                                : way == "return" ? Qt::Key_Return
                                                  : Qt::Key_Enter);
    }
    if (!QTest::qWaitFor([&heard] { return !heard.filter(QRegularExpression("^clicked")).isEmpty(); }))
        return heard << "never clicked";
    QCoreApplication::processEvents();
    heard << QString("checked %1").arg(button->isChecked());
    if (auto* card = qobject_cast<ModeCard*>(button)) // it reports the press; its owner decides which is on
        heard << QString("on %1").arg(card->isOn());
    return heard;
}

} // namespace

class KitGalleryTest : public QObject {
    Q_OBJECT
private slots:
    // Space, Return, Enter and a screen reader's default action each give the signals a click gives, in
    // its order, and leave the button as a click leaves it: the screens listen to clicked(), and a
    // reader's "Toggle" once flipped a switch without it. One row per kind of button and way.
    void everyKindOfButtonDoesWhatAClickDoesWhicheverWayItIsWorked_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("rank");
        QTest::addColumn<QString>("way");
        const std::vector<GalleryButton> buttons = buttonOfEachKind();
        QVERIFY(buttons.size() >= 12);
        for (const GalleryButton& button : buttons)
            for (const char* way : {"space", "return", "enter", "reader"})
                QTest::addRow("%s, %s", qPrintable(button.kind), way)
                    << int(button.page) << int(button.rank) << QString::fromLatin1(way);
    }
    void everyKindOfButtonDoesWhatAClickDoesWhicheverWayItIsWorked() {
        QFETCH(int, page);
        QFETCH(int, rank);
        QFETCH(QString, way);
        const GalleryButton button{std::size_t(page), {}, rank, false};
        QCOMPARE(work(button, way).join(" / "), work(button, "mouse").join(" / "));
    }

    void everyPageIsWrittenAsAPictureWithSomethingOnIt() {
        QTemporaryDir dir;
        const auto written = renderKitGallery(dir.filePath("gallery"));
        TAVRIN_REQUIRE(written);
        const QStringList pages = written->filter(QRegularExpression("/gallery/[^/]+\\.png$"));
        QVERIFY(pages.size() >= 10);
        for (const QString& file : pages) {
            QImage image(file);
            QVERIFY2(!image.isNull(), qPrintable(file));
            QVERIFY2(image.width() >= 300 && image.height() >= 100, qPrintable(file));
            // More than the canvas: count pixels that differ from the background colour.
            const QColor canvas = Theme::canvas();
            int drawn = 0;
            for (int y = 0; y < image.height(); y += 3)
                for (int x = 0; x < image.width(); x += 3)
                    drawn += image.pixelColor(x, y) != canvas;
            QVERIFY2(drawn > 200, qPrintable(file));
        }

        // Each picture of a focused control holds it twice, unfocused and focused, in two cells of one
        // size: the two must differ, or a keyboard user could not see where they are.
        QStringList kinds;
        for (const QString& file : written->filter("/gallery/focus/")) {
            const QImage pair(file);
            const int half = pair.width() / 2;
            QVERIFY2(!pair.isNull() && half > 0, qPrintable(file));
            QVERIFY2(pair.copy(0, 0, half, pair.height()) != pair.copy(half, 0, half, pair.height()),
                     qPrintable(file));
            kinds << QFileInfo(file).baseName();
        }
        for (const char* kind :
             {"TRButton", "TRIconButton", "TRCopyButton", "KeldmarchSwitch", "TRCheckBox",
              "TRDisclosureHeader", "ModeCard", "TRNetMapButton", "TRSegment", "SidebarItem", "MBItem",
              "TRTextField", "TRTextEditor", "TRElidedText", "TRValueLabel"})
            QVERIFY2(kinds.contains(kind), qPrintable(QString(kind) + " not among " + kinds.join(", ")));
    }
};

int main(int argc, char** argv) { return runKitTests<KitGalleryTest>(argc, argv); }

#include "KitGalleryTest.moc"
