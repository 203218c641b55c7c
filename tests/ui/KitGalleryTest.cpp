// What the gallery shows of every kind of control: a button does what a click does, whichever way it
// is worked, and the keyboard's focus is seen wherever it goes.
#include "KitTestMain.h"

#include "support/Basics.h"
#include "ui/gallery/KitGallery.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRSegmentedPicker.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>

using namespace tavrin;

namespace {

// A button of each kind the gallery shows, enabled, by its page and its rank among the page's buttons
// (a gallery built anew holds it at the same place); an unchecked one where there is one, for a choice
// not made yet.
std::vector<std::pair<QString, QPoint>> buttonOfEachKind() {
    std::map<QString, std::pair<QPoint, bool>> found; // kind: (page, rank), checked
    const auto pages = kitGalleryPages();
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const auto buttons = pages[page]->findChildren<QAbstractButton*>();
        for (qsizetype rank = 0; rank < buttons.size(); ++rank) {
            QAbstractButton* button = buttons[rank];
            if (!button->isEnabled() || !button->isVisibleTo(pages[page].get()))
                continue;
            auto [kept, fresh] = found.try_emplace(button->metaObject()->className(),
                                                   QPoint(int(page), int(rank)), button->isChecked());
            if (!fresh && kept->second.second && !button->isChecked())
                kept->second = {QPoint(int(page), int(rank)), false};
        }
    }
    std::vector<std::pair<QString, QPoint>> each;
    for (const auto& [kind, place] : found)
        each.emplace_back(kind, place.first);
    return each;
}

// Works the button at `place` (page, rank) `way` on a gallery page of its own, and returns what the
// button and its owner said up to its click, and its state then.
QStringList work(QPoint place, const QString& way) {
    QStringList heard; // outlives the page, which says nothing more as it goes
    TestHost host;
    QWidget* page = kitGalleryPages()[std::size_t(place.x())].release();
    QAbstractButton* button = page->findChildren<QAbstractButton*>().value(place.y());
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
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QString>("way");
        const auto buttons = buttonOfEachKind();
        QVERIFY(buttons.size() >= 12);
        for (const auto& [kind, place] : buttons)
            for (const char* way : {"space", "return", "enter", "reader"})
                QTest::addRow("%s, %s", qPrintable(kind), way) << place << QString::fromLatin1(way);
    }
    void everyKindOfButtonDoesWhatAClickDoesWhicheverWayItIsWorked() {
        QFETCH(QPoint, place);
        QFETCH(QString, way);
        QCOMPARE(work(place, way).join(" / "), work(place, "mouse").join(" / "));
    }

    // Each picture of a focused control holds it twice, unfocused and focused, in two cells of one size:
    // the two must differ, or a keyboard user could not see where they are.
    void everyKindOfControlTheKeyboardReachesShowsWhereTheFocusIs() {
        QTemporaryDir dir;
        const auto written = renderKitGallery(dir.path());
        TAVRIN_REQUIRE(written);
        QVERIFY(written->size() - written->filter("/focus/").size() >= 10); // the pages
        QVERIFY(written->filter("/focus/").size() >= 12); // a picture for each kind the keyboard reaches
        for (const QString& file : written->filter("/focus/")) {
            const QImage pair(file);
            const int half = pair.width() / 2;
            QVERIFY2(half > 0 &&
                         pair.copy(0, 0, half, pair.height()) != pair.copy(half, 0, half, pair.height()),
                     qPrintable(file));
        }
    }
};

int main(int argc, char** argv) { return runKitTests<KitGalleryTest>(argc, argv); }

#include "KitGalleryTest.moc"
