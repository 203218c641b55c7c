#pragma once

#include <QAbstractButton>
#include <QStringList>
#include <QWidget>

#include <vector>

class QHBoxLayout;
class QLabel;

namespace tavrin {

class TRSegmentedPicker;

// One choice of a segmented picker. For screen readers it is a radio button, checked while chosen.
class TRSegment : public QAbstractButton {
    Q_OBJECT
public:
    TRSegment(const QString& label, TRSegmentedPicker* picker);

    QString label() const { return m_label; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A press chooses; it never unchooses (the picker keeps the checks).
    void nextCheckState() override {}

private:
    friend class TRSegmentedPicker;
    TRSegmentedPicker* m_picker;
    QString m_label;
    int m_width = 0; // every segment of a picker is as wide as the widest label needs
};

// A row of mutually exclusive choices on one track, the chosen one raised on a white thumb:
//   auto* scope = new TRSegmentedPicker("Scope", {"Inference", "Read-only"});
//   scope->setTitleHidden(true);                   // still the name screen readers hear
//   connect(scope, &TRSegmentedPicker::activated, ...);
// It may also show no choice at all (currentIndex() == -1), for a value it does not list.
// Keyboard: Tab reaches the chosen segment (the first while none is chosen); the arrow keys, Home and
// End move the choice; Space and Enter choose the focused segment.
class TRSegmentedPicker : public QWidget {
    Q_OBJECT
public:
    explicit TRSegmentedPicker(const QString& title, const QStringList& options = {}, QWidget* parent = nullptr);

    // Replaces the choices; the chosen index stays while it is still one of them, else none is chosen.
    void setOptions(const QStringList& options);
    QStringList options() const;
    int count() const { return int(m_segments.size()); }

    // -1 while nothing is chosen. Setting an index out of range chooses nothing.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    // A hidden title takes no room but still names the picker for screen readers.
    void setTitleHidden(bool hidden);
    bool isTitleHidden() const { return m_titleHidden; }

    TRSegment* segment(int index) const;

signals:
    // Every change of the choice, the program's own included.
    void currentIndexChanged(int index);
    // The user chose `index` (mouse, keyboard or a screen reader's action).
    void activated(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TRSegment;
    void choose(int index, bool byUser);
    void step(TRSegment* from, int key);
    void updateSegments();
    void updateTitle();
    QRectF trackRect() const;

    QString m_title;
    bool m_titleHidden = false;
    int m_current = -1;
    QHBoxLayout* m_row;
    QHBoxLayout* m_segmentRow;
    QLabel* m_titleLabel = nullptr;
    std::vector<TRSegment*> m_segments;
};

} // namespace tavrin
