#pragma once

#include <QAbstractButton>
#include <QVBoxLayout>

#include <vector>

namespace tavrin {

// A row of a column of choices (the sidebar's screens, a guided sequence's steps), a button drawn
// alike in every such column: the chosen row's tint and accent bar, the hover tint, the focus ring. A
// kind of row draws only its marker and its text. Return and Enter click it, as a mouse does; where
// the rows allow it, Up, Down, Home and End ask for another row.
class TRPaintedRow : public QAbstractButton {
    Q_OBJECT
public:
    // What one column's rows do differently from another's.
    struct Look {
        qreal radius;
        qreal barInset; // between the accent bar and the row's top and bottom
        // The focus ring only for focus the keyboard moved (not a click's or the window's), and under
        // the chosen row's bar, so that a focused row still says it is the chosen one. Otherwise the
        // ring shows whenever the row has the focus, over the bar.
        bool keyboardRing;
        bool arrowsStep; // the arrow keys ask for another row, rather than moving the focus on
    };

    QString label() const { return m_label; }
    bool isChosen() const { return m_chosen; }

Q_SIGNALS:
    // The row `step` rows away (±1; a large step goes to the first or last row).
    void stepRequested(int step);

protected:
    TRPaintedRow(const QString& label, const Look& look, QWidget* parent);
    void setChosen(bool chosen);
    // The row's own marker and text, over its background; `box` is the whole row.
    virtual void paintContent(QPainter& p, const QRectF& box) = 0;

    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_label;
    Look m_look;
    bool m_chosen = false;
    bool m_hovered = false;
};

// A column's rows, top to bottom, inset from its sides. A layout rather than a widget, so that screen
// readers meet the rows where the column puts them. Rows are named by their index; a step the arrow
// keys ask for chooses the row it lands on and gives it the focus.
class TRPaintedRows : public QVBoxLayout {
    Q_OBJECT
public:
    TRPaintedRows(int inset, int gap, QWidget* owner = nullptr);

    void addRow(TRPaintedRow* row);
    TRPaintedRow* row(int index) const { return m_rows.at(std::size_t(index)); }
    int rowCount() const { return int(m_rows.size()); }

Q_SIGNALS:
    void rowClicked(int index);
    // The arrow keys chose the row `index`; it has the focus once the signal has been handled.
    void rowStepped(int index);

private:
    std::vector<TRPaintedRow*> m_rows;
};

} // namespace tavrin
