#include "ui/kit/TRHairline.h"

#include "ui/kit/Theme.h"

#include <QPainter>

namespace tavrin {

TRHairline::TRHairline(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
    if (orientation == Qt::Vertical)
        setFixedWidth(1);
    else
        setFixedHeight(1);
}

void TRHairline::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Theme::line()); }

} // namespace tavrin
