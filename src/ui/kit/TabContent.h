#pragma once

#include <QWidget>

class QScrollArea;
class QVBoxLayout;

namespace tavrin {

// The page of a tab: a vertical scroll area on the canvas colour, under a thin brand strip, holding a
// stack (spacing 14) at most 760 wide, leading-aligned. Screens add their sections to it in order.
class TabContent : public QWidget {
    Q_OBJECT
public:
    explicit TabContent(QWidget* parent = nullptr);

    void addWidget(QWidget* widget, int stretch = 0, Qt::Alignment alignment = {});
    void addLayout(QLayout* layout, int stretch = 0);
    // The stack itself, for spacing tweaks or insertions; sections are laid out top to bottom.
    QVBoxLayout* stack() const { return m_stack; }
    QScrollArea* scrollArea() const { return m_scroll; }

    static constexpr int kMaxContentWidth = 760;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QScrollArea* m_scroll;
    QVBoxLayout* m_stack;
};

} // namespace tavrin
