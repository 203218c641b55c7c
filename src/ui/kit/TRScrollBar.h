#pragma once

#include <QScrollBar>

class QAbstractScrollArea;

namespace tavrin {

// The kit's scroll bar: a thin, quiet handle in the spirit of overlay scrollers, on no track and
// without the style's arrows. Every scrolling area of the kit takes one in place of the platform's.
class TRScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TRScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Gives `area` the kit's scroll bars in both directions (its policies stay as they are).
    static void install(QAbstractScrollArea* area);

    static constexpr int kThickness = 10;
};

} // namespace tavrin
