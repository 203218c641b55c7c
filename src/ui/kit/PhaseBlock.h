#pragma once

#include "state/Phase.h"

#include <QColor>
#include <QWidget>

class QLabel;

namespace tavrin {

class TRCaption;

// The colour a phase is written in: mutedGrey while nothing runs, okGreen running, warnAmber when the
// admin password is missing, dangerRed for errors.
QColor phaseColor(const Phase& phase);

// The large phase read-out of a hero card: "PHASE", the phase label in its colour, a detail line.
class PhaseBlock : public QWidget {
    Q_OBJECT
public:
    explicit PhaseBlock(const Phase& phase = Phase::unknown(), QWidget* parent = nullptr);

    void setPhase(const Phase& phase);
    // An empty detail keeps the line's height, so the block does not jump as the phase changes.
    void setDetail(const QString& detail);

    QString phaseText() const;
    QColor phaseTextColor() const;
    QString detail() const;

private:
    TRCaption* m_caption;
    QLabel* m_phase;
    QLabel* m_detail;
};

} // namespace tavrin
