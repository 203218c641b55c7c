#include "ui/kit/TRScrollBar.h"

#include "ui/kit/Theme.h"

#include <QAbstractScrollArea>

namespace tavrin {

TRScrollBar::TRScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
    const QColor handle = Theme::alpha(Theme::ink(), 0.22);
    const QString rgba =
        QStringLiteral("rgba(%1, %2, %3, %4)").arg(handle.red()).arg(handle.green()).arg(handle.blue()).arg(handle.alpha());
    // A style sheet rather than painting: the style still places the handle and answers the mouse.
    setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: %1px; background: transparent; margin: 2px 2px 2px 0; }"
                       "QScrollBar:horizontal { height: %1px; background: transparent; margin: 0 2px 2px 2px; }"
                       "QScrollBar::handle { background: %2; border-radius: 3px; }"
                       "QScrollBar::handle:vertical { min-height: 32px; margin: 0 2px; }"
                       "QScrollBar::handle:horizontal { min-width: 32px; margin: 2px 0; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(kThickness)
            .arg(rgba));
}

void TRScrollBar::install(QAbstractScrollArea* area) {
    area->setVerticalScrollBar(new TRScrollBar(Qt::Vertical));
    area->setHorizontalScrollBar(new TRScrollBar(Qt::Horizontal));
}

} // namespace tavrin
