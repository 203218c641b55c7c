#pragma once

#include "ui/kit/TRPaintedRows.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;

namespace tavrin {

// Where a step of a guided sequence stands against the one shown.
enum class StepState { done, current, upcoming };

// One step of the rail: its number in a badge (a check mark once done) and its title; the current
// one highlighted. Upcoming steps cannot be chosen, and say so to screen readers; every row says
// whether it is done, current or still to come. A title longer than the rail is wide goes on over
// further lines, the row growing with it: the rail's width is the window's, not the language's.
class TRStepRow : public TRPaintedRow {
    Q_OBJECT
public:
    TRStepRow(int number, int count, const QString& title, QWidget* parent = nullptr);
    void setState(StepState state);
    StepState state() const { return m_state; }
    // The width the title takes on one line, in the chosen step's bolder face.
    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintContent(QPainter& p, const QRectF& box) override;

private:
    QRectF titleBox(qreal width, qreal height) const;

    int m_number;
    int m_count;
    StepState m_state = StepState::upcoming;
};

// The column on the left of a guided sequence: the brand, a note on what lies ahead, "STEPS" and a
// row per step. It draws the states it is given; which rows may be chosen is the caller's rule,
// applied through the states (upcoming rows are disabled).
class TRStepRail : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;

    TRStepRail(const QString& note, const QStringList& titles, QWidget* parent = nullptr);
    void setStates(const std::vector<StepState>& states);
    TRStepRow* row(int index) const { return static_cast<TRStepRow*>(m_rows->row(index)); }
    int count() const { return m_rows->rowCount(); }

Q_SIGNALS:
    void rowClicked(int index);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TRPaintedRows* m_rows;
};

// An item of a numbered list: the number in a badge, a bold title and a line of text under it.
class TRNumberedItem : public QWidget {
    Q_OBJECT
public:
    TRNumberedItem(int number, const QString& title, const QString& text, QWidget* parent = nullptr);
    QString title() const;
    QString text() const;

private:
    QLabel* m_title;
    QLabel* m_text;
};

} // namespace tavrin
