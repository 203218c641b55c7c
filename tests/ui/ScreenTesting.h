#pragma once

// Reading and hosting a screen in widget tests, as a user meets it.

#include "KitTestMain.h"

#include "protocol/ClientRecords.h"
#include "protocol/JsonCodec.h"
#include "support/Basics.h"
#include "support/HttpProbe.h"
#include "support/SampleDocuments.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TabHeader.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>

// The sample status record that screens are shown.
inline tavrin::ClientServerStatus sampleStatus() {
    auto decoded = tavrin::decodeJson<tavrin::ClientServerStatus>(tavrin::test::fullStatusDocument());
    if (!decoded)
        qFatal("sample status does not decode");
    return *decoded;
}

// A screen that is its heading alone: where a window is tested, not what its screens do.
inline QWidget* headerOnlyScreen(tavrin::ServerStateModel*, const tavrin::ScreenHeading& heading) {
    auto* screen = new QWidget;
    new tavrin::TabHeader(heading.eyebrow, heading.title, heading.lead, screen);
    return screen;
}

// The visible widgets of type W under `root`.
template <class W> QList<W*> shownWidgets(const QWidget* root) {
    QList<W*> widgets;
    for (W* w : root->findChildren<W*>())
        if (w->isVisibleTo(root))
            widgets << w;
    return widgets;
}

// What a user reads: the texts of every visible label under `root`.
inline QStringList visibleTexts(const QWidget* root) {
    QStringList texts;
    for (const QLabel* label : shownWidgets<QLabel>(root))
        if (!label->text().isEmpty())
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

// The texts of the visible message lines under `root`, of one kind or of any.
inline QStringList messageLines(const QWidget* root, std::optional<tavrin::MessageKind> kind = std::nullopt) {
    QStringList lines;
    for (const auto* line : root->findChildren<tavrin::TRMessageLine*>())
        if ((!kind || line->kind() == *kind) && line->isVisibleTo(root))
            lines << line->message();
    return lines;
}
inline QStringList errorLines(const QWidget* root) { return messageLines(root, tavrin::MessageKind::error); }
inline QStringList statusLines(const QWidget* root) { return messageLines(root, tavrin::MessageKind::success); }

inline tavrin::TRButton* buttonNamed(const QWidget* root, const QString& text) {
    return findVisible<tavrin::TRButton>(root, text, [](tavrin::TRButton* b) { return b->text(); });
}
inline tavrin::TRCard* cardTitled(const QWidget* root, const QString& title) {
    return findVisible<tavrin::TRCard>(root, title, [](tavrin::TRCard* c) { return c->title(); });
}

// The widget of type W under `root` that a screen reader names `name`, shown or not.
template <class W> W* namedChild(const QWidget* root, const QString& name) {
    for (W* w : root->findChildren<W*>())
        if (w->accessibleName() == name)
            return w;
    return nullptr;
}

// As a person types: what the field held is selected and typed over.
inline void typeOver(QLineEdit* field, const QString& text) {
    QVERIFY2(field && field->isVisible(), "no field to type into");
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// For a person to look at, when TAVRIN_SCREENS_DIR names a folder: `widget` as it stands, once the
// children added to it since it showed have shown too. The screens that a render of the window cannot
// show (setup's steps act as they appear) are saved this way by their tests.
inline void saveScreen(QWidget* widget, const QString& name) {
    QCoreApplication::processEvents();
    const QString dir = qEnvironmentVariable("TAVRIN_SCREENS_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        widget->grab().save(dir + QStringLiteral("/") + name + QStringLiteral(".png"));
}

// One screen shown offscreen at a time, in a window of its own. Whatever its flows are doing ends
// before it goes (a new one shown, or the test over), so that none outlives the model it talks to.
class ScreenHost {
public:
    std::unique_ptr<TestHost> host;

    template <class Screen> Screen* show(Screen* screen, QSize size) {
        close();
        host = std::make_unique<TestHost>();
        m_flows = &screen->flows();
        host->place(screen, size.width(), 0, size.height());
        return screen;
    }
    void close() {
        const bool ended = !m_flows || QTest::qWaitFor([this] { return m_flows->running() == 0; }, 15000);
        closeAtOnce(); // even so: a flow never comes back into a screen that went
        QVERIFY2(ended, "the screen's flows were still running as it closed");
    }
    // Presses the enabled button of that text under `in`, and waits until the screen's flows have ended.
    [[nodiscard]] bool press(const QWidget* in, const QString& text) {
        tavrin::TRButton* button = buttonNamed(in, text);
        if (!button || !button->isEnabled()) {
            qWarning("no enabled button \"%s\"", qPrintable(text));
            return false;
        }
        button->click();
        return QTest::qWaitFor([this] { return m_flows->running() == 0; }, 60000);
    }
    // Gone while its flows may still run, as a tab is when another is chosen.
    void closeAtOnce() {
        m_flows = nullptr;
        host.reset();
    }

private:
    const tavrin::ScreenFlows* m_flows = nullptr;
};
