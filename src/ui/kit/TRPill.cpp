#include "ui/kit/TRPill.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>

namespace tavrin {

QColor pillForeground(PillKind kind) {
    switch (kind) {
    case PillKind::ok:
        return Theme::okGreen();
    case PillKind::warn:
        return QColor::fromRgbF(0.784f, 0.329f, 0.039f);
    case PillKind::bad:
        return QColor::fromRgbF(0.776f, 0.212f, 0.153f);
    case PillKind::muted:
        return Theme::inkMuted();
    case PillKind::brand:
        return Theme::ink();
    case PillKind::info:
        return QColor::fromRgbF(0.125f, 0.333f, 0.761f);
    }
    return Theme::inkMuted();
}

QColor pillBackground(PillKind kind) {
    switch (kind) {
    case PillKind::ok:
        return Theme::alpha(Theme::okGreen(), 0.13);
    case PillKind::warn:
        return Theme::alpha(Theme::warnAmber(), 0.16);
    case PillKind::bad:
        return Theme::alpha(Theme::dangerRed(), 0.13);
    case PillKind::muted:
        return Theme::alpha(Theme::inkMuted(), 0.10);
    case PillKind::brand:
        return Theme::alpha(Theme::brandTeal(), 0.15);
    case PillKind::info:
        return Theme::alpha(Theme::linkBlue(), 0.12);
    }
    return Theme::alpha(Theme::inkMuted(), 0.10);
}

TRPill::TRPill(const QString& label, PillKind kind, PillOptions options, QWidget* parent)
    : QWidget(parent), label_(label), kind_(kind), options_(options) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(9, 4, 9, 4);
    row->setSpacing(5);
    dot_ = new KitDot(6, pillForeground(kind), this);
    text_ = kitLabel({}, {}, pillForeground(kind), this);
    row->addWidget(dot_, 0, Qt::AlignVCenter);
    row->addWidget(text_, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    restyle();
}

void TRPill::setLabel(const QString& label) {
    label_ = label;
    restyle();
}

void TRPill::setKind(PillKind kind) {
    kind_ = kind;
    restyle();
}

void TRPill::setWithDot(bool withDot) {
    options_.withDot = withDot;
    restyle();
}

void TRPill::setMono(bool mono) {
    options_.mono = mono;
    restyle();
}

QString TRPill::displayedText() const { return text_->text(); }

void TRPill::restyle() {
    text_->setFont(options_.mono ? Theme::mono(10, FontWeight::medium, 1.4)
                                 : Theme::font(11.5, FontWeight::semibold, 0.2));
    text_->setText(options_.mono ? label_.toUpper() : label_);
    setLabelColor(text_, pillForeground(kind_));
    dot_->setColor(pillForeground(kind_));
    dot_->setVisible(options_.withDot);
    setAccessibleName(text_->text());
    adjustSize();
    updateGeometry();
    update();
}

void TRPill::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = rect();
    const qreal radius = capsule.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(pillBackground(kind_));
    p.drawRoundedRect(capsule, radius, radius);
    if (kind_ == PillKind::brand) {
        p.setPen(QPen(Theme::alpha(Theme::brandTeal(), 0.35), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(capsule.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    }
}

} // namespace tavrin
