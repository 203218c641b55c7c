#include "ui/kit/KitAccessibility.h"

#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/MBPanel.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRPill.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QScrollBar>

#include <functional>

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

// A kit button whose role is not a plain push button's: the press is its action, and `state` adds what
// the role needs (selected, expanded, checked).
class ButtonAccessible : public NamedAccessible {
public:
    ButtonAccessible(QAbstractButton* button, QAccessible::Role role, std::function<QString()> name,
                     std::function<void(QAccessible::State&)> state)
        : NamedAccessible(button, role, std::move(name)), m_state(std::move(state)) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        m_state(s);
        return s;
    }
    QStringList actionNames() const override {
        return widget()->isEnabled() ? QStringList{pressAction()} + QAccessibleWidget::actionNames() : QStringList{};
    }
    void doAction(const QString& action) override {
        // As Qt's own buttons do: the click comes a moment later, after the reader has its answer.
        if (action == pressAction() && widget()->isEnabled())
            static_cast<QAbstractButton*>(widget())->animateClick();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    std::function<void(QAccessible::State&)> m_state;
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
    if (is<TRSidebarList>(className))
        return new QAccessibleWidget(widget, QAccessible::PageTabList);
    if (is<SidebarItem>(className)) {
        auto* item = static_cast<SidebarItem*>(widget);
        return new ButtonAccessible(item, QAccessible::PageTab, [item] { return item->label(); },
                                    [item](QAccessible::State& s) {
                                        s.selectable = true;
                                        s.selected = item->isActive();
                                    });
    }
    if (is<TRDisclosureHeader>(className)) {
        auto* header = static_cast<TRDisclosureHeader*>(widget);
        return new ButtonAccessible(header, QAccessible::Button, [header] { return header->label(); },
                                    [header](QAccessible::State& s) {
                                        s.expandable = true;
                                        s.expanded = header->isChecked();
                                        s.collapsed = !header->isChecked();
                                    });
    }
    if (is<ModeCard>(className)) {
        auto* card = static_cast<ModeCard*>(widget);
        return new ButtonAccessible(card, QAccessible::RadioButton, [card] { return card->title(); },
                                    [card](QAccessible::State& s) {
                                        s.checkable = true;
                                        s.checked = card->isOn();
                                    });
    }
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
