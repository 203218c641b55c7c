#include "ui/kit/TRPill.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>

namespace tavrin {

namespace {
constexpr QMargins kInsets{9, 4, 9, 4};
constexpr int kDotGap = 5;
} // namespace

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
    : QWidget(parent), m_label(label), m_kind(kind), m_options(options) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kInsets);
    row->setSpacing(kDotGap);
    m_dot = new TRDot(6, pillForeground(kind), this);
    m_text = kitLabel({}, TextRole::pill, pillForeground(kind), this);
    row->addWidget(m_dot, 0, Qt::AlignVCenter);
    row->addWidget(m_text, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    restyle();
}

void TRPill::setLabel(const QString& label) {
    if (label == m_label)
        return;
    m_label = label;
    restyle();
}

void TRPill::setKind(PillKind kind) {
    if (kind == m_kind)
        return;
    m_kind = kind;
    restyle();
}

void TRPill::setWithDot(bool withDot) {
    m_options.withDot = withDot;
    restyle();
}

void TRPill::setMono(bool mono) {
    m_options.mono = mono;
    restyle();
}

QString TRPill::displayedText() const { return m_text->text(); }

QString TRPill::spokenText() const { return m_meaning.isEmpty() ? m_label : m_meaning + QStringLiteral(": ") + m_label; }

void TRPill::restyle() {
    m_text->setFont(Theme::font(m_options.mono ? TextRole::monoPill : TextRole::pill));
    m_text->setText(m_options.mono ? m_label.toUpper() : m_label);
    setLabelColor(m_text, pillForeground(m_kind));
    m_dot->setColor(pillForeground(m_kind));
    m_dot->setVisible(m_options.withDot);
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
    p.setBrush(pillBackground(m_kind));
    p.drawRoundedRect(capsule, radius, radius);
    if (m_kind == PillKind::brand) {
        p.setPen(QPen(Theme::alpha(Theme::brandTeal(), 0.35), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(capsule.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    }
}

} // namespace tavrin
