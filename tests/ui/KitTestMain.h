#pragma once

#include "ui/kit/Theme.h"

#include <QApplication>
#include <QTest>

// Runs several QtTest classes in one program, with the kit's theme applied as the application does.
template <typename... Tests>
int runKitTests(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrin::Theme::apply(app);
    const auto run = [&]<typename Test>() {
        Test test;
        return QTest::qExec(&test, argc, argv);
    };
    return (run.template operator()<Tests>() + ...);
}

// A plain top-level window without a layout that shows one kit widget at a given width. The offscreen
// platform warns whenever a window's size limits change, and a layout on the window would change them.
class TestHost : public QWidget {
public:
    TestHost() { resize(10, 10); }
    void place(QWidget* widget, int width, int margin = 0, int height = 0) { // height 0: the widget's own
        widget->setParent(this);
        if (height == 0)
            height = widget->hasHeightForWidth() ? widget->heightForWidth(width) : widget->sizeHint().height();
        widget->setGeometry(margin, margin, width, height);
        widget->show();
        resize(width + 2 * margin, height + 2 * margin);
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
};

// Delivers the chain of layout requests a change sets off, each level's posting the next: what the
// event loop does before the next frame, without waiting on a clock.
inline void settleLayouts() {
    for (int level = 0; level < 32; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}
