#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace tavrin {

class TRCaption;

// The large phase read-out of a hero card: "PHASE", the phase's label in its colour, a detail line.
class TRPhaseBlock : public QWidget {
    Q_OBJECT
public:
    explicit TRPhaseBlock(QWidget* parent = nullptr);

    void setPhase(const QString& label, const QColor& colour);
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
