#include "ui/kit/KitAccessibility.h"

#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/MBPanel.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRLoadChart.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRSegmentedPicker.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>

#include <functional>
#include <optional>

namespace tavrin {

namespace {

// Qt asks the factories for every class of an object, most derived first, and takes the first answer.
template <class W> bool is(const QString& className) {
    return className == QLatin1String(W::staticMetaObject.className());
}

// What a scroll area holds for a reader, as Qt presents it (the viewport, the containers of the scroll
// bars that show, the corner widget), with every index checked against the list as it is now.
class ScrollAreaAccessible : public QAccessibleWidget {
public:
    explicit ScrollAreaAccessible(QAbstractScrollArea* area) : QAccessibleWidget(area, QAccessible::Client) {}

    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList now = parts();
        return index >= 0 && index < now.size() ? QAccessible::queryAccessibleInterface(now.at(index)) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(parts().indexOf(static_cast<QWidget*>(child->object())));
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (QWidget* part : parts())
            if (QRect(part->mapToGlobal(QPoint(0, 0)), part->size()).contains(x, y))
                return QAccessible::queryAccessibleInterface(part);
        return nullptr;
    }

private:
    QWidgetList parts() const {
        const auto* area = static_cast<const QAbstractScrollArea*>(widget());
        QWidgetList list;
        if (area->viewport())
            list << area->viewport();
        for (const QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
            if (bar && bar->isVisible() && bar->parentWidget())
                list << bar->parentWidget();
        if (QWidget* corner = area->cornerWidget(); corner && corner->isVisible())
            list << corner;
        return list;
    }
};

// A widget whose name is its own text unless the screen gave it one.
class NamedAccessible : public QAccessibleWidget {
public:
    NamedAccessible(QWidget* widget, QAccessible::Role role, std::function<QString()> name)
        : QAccessibleWidget(widget, role), m_name(std::move(name)) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return m_name();
        return QAccessibleWidget::text(t);
    }

private:
    std::function<QString()> m_name;
};

// One line for a reader: what it draws in parts (a pill's dot and label) is not read again.
class LineAccessible : public NamedAccessible {
public:
    using NamedAccessible::NamedAccessible;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        // A painted figure: the label is the name, the whole figure the value.
        if (t == QAccessible::Value)
            if (const auto* stat = qobject_cast<const MBStat*>(object()))
                return stat->value();
        return NamedAccessible::text(t);
    }
};

// The name a button's text gives a reader: its "&&" is an ampersand, a lone "&" marks no letter.
QString spokenButtonText(const QString& text) {
    QString spoken;
    spoken.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && ++i == text.size())
            break;
        spoken += text.at(i);
    }
    return spoken;
}

// Every button of the kit as a reader meets it, and its one action, which does what a click does.
// Qt's own interface answers a checkable button's "Toggle" with toggle(): the state flips, but
// clicked(), which the screens listen to, never comes, so a switch a reader turned on showed on and
// changed nothing. Here "Toggle" and "Press" alike click, as the mouse and the keyboard do.
class KitButtonAccessible : public QAccessibleWidget {
public:
    using Name = std::function<QString()>;
    using StateOf = std::function<void(QAccessible::State&)>;

    // Without a role, the button's own kind decides: checkable ones are check boxes, or radio buttons
    // when one of a set; the others push buttons.
    explicit KitButtonAccessible(QAbstractButton* button, std::optional<QAccessible::Role> role = {},
                                 Name name = {}, StateOf state = {})
        : QAccessibleWidget(button), m_role(role), m_name(std::move(name)), m_state(std::move(state)) {}

    QAccessible::Role role() const override {
        if (m_role)
            return *m_role;
        if (!button()->isCheckable())
            return QAccessible::Button;
        return button()->autoExclusive() ? QAccessible::RadioButton : QAccessible::CheckBox;
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        return m_name ? m_name() : spokenButtonText(button()->text());
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = button()->isCheckable();
        s.checked = button()->isChecked();
        if (const auto* box = qobject_cast<const QCheckBox*>(button()))
            s.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
        s.pressed = button()->isDown();
        if (const auto* push = qobject_cast<const QPushButton*>(button()))
            s.defaultButton = push->isDefault();
        if (m_state)
            m_state(s);
        return s;
    }
    // What a reader calls the action follows the role, as readers expect: a check box or a radio
    // button is toggled, anything else pressed.
    QStringList actionNames() const override {
        if (!widget()->isEnabled())
            return {};
        const QAccessible::Role r = role();
        const bool toggles = r == QAccessible::CheckBox || r == QAccessible::RadioButton;
        return QStringList{toggles ? toggleAction() : pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction() && action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // As Qt's own buttons do: the click comes a moment later, after the reader has its answer.
        if (widget()->isEnabled())
            button()->animateClick();
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }

    std::optional<QAccessible::Role> m_role;
    Name m_name;
    StateOf m_state;
};

// Elided text, read and selected whole: its text is all of it, and any selection a reader makes is all of it.
class ElidedTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ElidedTextAccessible(TRElidedText* text) : QAccessibleWidget(text, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if ((t == QAccessible::Name && widget()->accessibleName().isEmpty()) || t == QAccessible::Value)
            return whole();
        return QAccessibleWidget::text(t);
    }

    QString text(int start, int end) const override { return whole().mid(start, end < 0 ? -1 : end - start); }
    int characterCount() const override { return int(whole().size()); }
    void selection(int index, int* start, int* end) const override {
        const bool selected = index == 0 && elided()->isSelected();
        *start = 0;
        *end = selected ? characterCount() : 0;
    }
    int selectionCount() const override { return elided()->isSelected() ? 1 : 0; }
    void addSelection(int, int) override { elided()->setSelected(true); }
    void removeSelection(int) override { elided()->setSelected(false); }
    void setSelection(int, int, int) override { elided()->setSelected(true); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    TRElidedText* elided() const { return static_cast<TRElidedText*>(widget()); }
    QString whole() const { return elided()->text(); }
};

QAccessibleInterface* kitAccessible(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // Only the two classes whose interface is Qt's unguarded one: item views and text edits have
    // interfaces of their own, which Qt finds under their own class names first.
    if (className == QLatin1String("QScrollArea") || className == QLatin1String("QAbstractScrollArea"))
        return new ScrollAreaAccessible(static_cast<QAbstractScrollArea*>(widget));
    if (is<TRHeading>(className)) {
        auto* label = static_cast<QLabel*>(widget);
        return new NamedAccessible(label, QAccessible::Heading, [label] { return label->text(); });
    }
    if (is<TRPill>(className)) {
        auto* pill = static_cast<TRPill*>(widget);
        return new LineAccessible(pill, QAccessible::StaticText, [pill] { return pill->spokenText(); });
    }
    if (is<MBStat>(className)) {
        auto* stat = static_cast<MBStat*>(widget);
        return new LineAccessible(stat, QAccessible::StaticText, [stat] { return stat->label(); });
    }
    if (is<TRElidedText>(className))
        return new ElidedTextAccessible(static_cast<TRElidedText*>(widget));
    if (is<TRLoadChart>(className)) {
        auto* chart = static_cast<TRLoadChart*>(widget);
        return new LineAccessible(chart, QAccessible::Chart, [chart] { return chart->description(); });
    }
    if (is<TRSidebarList>(className))
        return new QAccessibleWidget(widget, QAccessible::PageTabList);
    if (is<TRSegmentedPicker>(className))
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button)
        return nullptr;
    if (is<SidebarItem>(className)) {
        auto* item = static_cast<SidebarItem*>(widget);
        return new KitButtonAccessible(
            item, QAccessible::PageTab, [item] { return item->label(); },
            [item](QAccessible::State& s) {
                s.selectable = true;
                s.selected = item->isActive();
            });
    }
    if (is<TRDisclosureHeader>(className)) {
        auto* header = static_cast<TRDisclosureHeader*>(widget);
        return new KitButtonAccessible(
            header, QAccessible::Button, [header] { return header->label(); },
            [header](QAccessible::State& s) {
                s.checkable = s.checked = false; // read as expanded, not as checked
                s.expandable = true;
                s.expanded = header->isChecked();
                s.collapsed = !header->isChecked();
            });
    }
    if (is<ModeCard>(className)) {
        auto* card = static_cast<ModeCard*>(widget);
        return new KitButtonAccessible(
            card, QAccessible::RadioButton, [card] { return card->title(); },
            [card](QAccessible::State& s) {
                s.checkable = true;
                s.checked = card->isOn();
            });
    }
    if (is<TRSegment>(className)) {
        auto* segment = static_cast<TRSegment*>(widget);
        return new KitButtonAccessible(segment, QAccessible::RadioButton,
                                       [segment] { return segment->label(); });
    }
    // Every other button of the project's own kinds, kit or screen: Qt asks with the most derived class
    // name first, so its own interface is never reached for one. A push button with a menu keeps Qt's,
    // which opens the menu.
    const auto* push = qobject_cast<QPushButton*>(button);
    if (className == QLatin1String(object->metaObject()->className()) &&
        className.startsWith(QLatin1String("tavrin::")) && !(push && push->menu()))
        return new KitButtonAccessible(button);
    return nullptr;
}

} // namespace

void installKitAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(kitAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace tavrin
