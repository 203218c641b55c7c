#include "ui/kit/TRPaintedRows.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tavrin {

namespace {

constexpr qreal kAccentBar = 2.5;
constexpr int kWholeColumn = 1 << 16;

} // namespace

TRPaintedRow::TRPaintedRow(const QString& label, const Look& look, QWidget* parent)
    : QAbstractButton(parent), m_label(label), m_look(look) {
    setAccessibleName(label);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TRPaintedRow::setChosen(bool chosen) {
    m_chosen = chosen;
    update();
}

void TRPaintedRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    if (m_chosen || (m_hovered && isEnabled())) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::alpha(Theme::ink(), m_chosen ? 0.06 : 0.04));
        p.drawRoundedRect(box, m_look.radius, m_look.radius);
    }
    const auto bar = [&] {
        if (!m_chosen)
            return;
        QPainterPath path;
        path.addRoundedRect(QRectF(0, m_look.barInset, kAccentBar, box.height() - 2 * m_look.barInset),
                            kAccentBar / 2, kAccentBar / 2);
        p.fillPath(path, Theme::accentBarGradient());
    };
    const auto ring = [&] {
        if (hasFocus() && (!m_look.keyboardRing || window()->testAttribute(Qt::WA_KeyboardFocusChange)))
            paintFocusRing(p, box, m_look.radius);
    };
    if (m_look.keyboardRing) {
        ring();
        bar();
    } else {
        bar();
        ring();
    }
    paintContent(p, box);
}

void TRPaintedRow::enterEvent(QEnterEvent*) {
    m_hovered = true;
    update();
}

void TRPaintedRow::leaveEvent(QEvent*) {
    m_hovered = false;
    update();
}

void TRPaintedRow::keyPressEvent(QKeyEvent* event) {
    const auto step = [&]() -> int {
        switch (event->key()) {
        case Qt::Key_Up:
            return -1;
        case Qt::Key_Down:
            return 1;
        case Qt::Key_Home:
            return -kWholeColumn;
        case Qt::Key_End:
            return kWholeColumn;
        default:
            return 0;
        }
    }();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        click();
    else if (step != 0 && m_look.arrowsStep)
        Q_EMIT stepRequested(step);
    else
        QAbstractButton::keyPressEvent(event);
}

TRPaintedRows::TRPaintedRows(int inset, int gap, QWidget* owner) : QVBoxLayout(owner) {
    setContentsMargins(inset, 0, inset, 0);
    setSpacing(gap);
}

void TRPaintedRows::addRow(TRPaintedRow* added) {
    const int index = rowCount();
    connect(added, &QAbstractButton::clicked, this, [this, index] { Q_EMIT rowClicked(index); });
    connect(added, &TRPaintedRow::stepRequested, this, [this, index](int by) {
        const int to = std::clamp(index + by, 0, rowCount() - 1);
        Q_EMIT rowStepped(to);
        // A key moved the focus: the ring shows, as it does for Tab.
        row(to)->setFocus(Qt::ShortcutFocusReason);
    });
    addWidget(added);
    m_rows.push_back(added);
}

} // namespace tavrin
