#pragma once

#include "ui/kit/Theme.h"

#include <QApplication>
#include <QTest>

template <typename Test>
int runOneKitTest(int argc, char** argv) {
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Runs several QtTest classes in one program, with the kit's theme applied as the application does.
template <typename... Tests>
int runKitTests(int argc, char** argv) {
    QApplication app(argc, argv);
    tavrin::Theme::apply(app);
    return (runOneKitTest<Tests>(argc, argv) + ...);
}
