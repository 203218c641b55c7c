#pragma once

// Reading and hosting a screen in widget tests, as a user meets it.

#include <QLabel>
#include <QTest>
#include <QWidget>

// What a user reads: the texts of every visible label under `root`.
inline QStringList visibleTexts(const QWidget* root) {
    QStringList texts;
    for (const QLabel* label : root->findChildren<QLabel*>())
        if (label->isVisibleTo(root) && !label->text().isEmpty())
            texts << label->text();
    return texts;
}

// The visible widget of type W under `root` whose text (as `textOf` reads it) is `text`.
template <class W, class F>
W* findVisible(const QWidget* root, const QString& text, F textOf) {
    for (W* w : root->findChildren<W*>())
        if (w->isVisibleTo(root) && textOf(w) == text)
            return w;
    return nullptr;
}

// A host window without a layout (the offscreen platform complains when a layout changes a window's
// size limits), showing `widget` at the given size.
class ScreenHost : public QWidget {
public:
    void place(QWidget* widget, QSize size) {
        resize(size);
        widget->setParent(this);
        widget->setGeometry(QRect(QPoint(0, 0), size));
        widget->show();
        show();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
};
