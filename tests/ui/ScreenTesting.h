#pragma once

// Reading and hosting a screen in widget tests, as a user meets it.

#include "ui/kit/TRButton.h"

#include <QDir>
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

// The visible widgets of type W under `root`.
template <class W> QList<W*> shownWidgets(const QWidget* root) {
    QList<W*> widgets;
    for (W* w : root->findChildren<W*>())
        if (w->isVisibleTo(root))
            widgets << w;
    return widgets;
}

inline tavrin::TRButton* buttonNamed(const QWidget* root, const QString& text) {
    return findVisible<tavrin::TRButton>(root, text, [](tavrin::TRButton* b) { return b->text(); });
}

// For a person to look at, when TAVRIN_SCREENS_DIR names a folder: `widget` as it stands.
inline void saveScreen(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("TAVRIN_SCREENS_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        widget->grab().save(dir + QStringLiteral("/") + name + QStringLiteral(".png"));
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
