#include "ui/kit/IssuedKeyBanner.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr qreal kRadius = 12;
constexpr qreal kStroke = 1.5;
constexpr qreal kStripHeight = 3;
constexpr int kWarningGap = 5;

QColor warningColour() { return QColor::fromRgbF(0.776f, 0.22f, 0.259f); }
} // namespace

IssuedKeyBanner::IssuedKeyBanner(const QString& label, const QString& token, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Spacing::card, Spacing::card, Spacing::card, Spacing::card);
    stack->setSpacing(Spacing::group);

    auto* warning = new QHBoxLayout;
    warning->setSpacing(kWarningGap);
    warning->addWidget(new TRSymbol(QStringLiteral("exclamationmark.triangle.fill"), 11, warningColour(), this));
    warning->addWidget(kitLabel(tr("SAVE THIS KEY NOW · IT WILL NOT BE SHOWN AGAIN"), TextRole::alert,
                                warningColour(), this));
    warning->addStretch(1);
    stack->addLayout(warning);

    m_label = kitLabel(label, TextRole::bodySemibold, {}, this);
    m_label->setWordWrap(true);
    stack->addWidget(m_label);

    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::beside);
    m_token = new TRElidedText(token, TextRole::monoValue, this);
    m_token->setWell(true);
    row->addWidget(m_token, 1, Qt::AlignVCenter);
    m_copy = new TRButton(tr("Copy"), KeldmarchButtonStyle{}, this);
    m_copy->setSymbol(QStringLiteral("doc.on.doc"));
    row->addWidget(m_copy, 0, Qt::AlignVCenter);
    stack->addLayout(row);

    connect(m_copy, &QAbstractButton::clicked, m_token, &TRElidedText::copy);
    connect(m_token, &TRElidedText::copied, this, &IssuedKeyBanner::copied);
    setKey(label, token);
}

void IssuedKeyBanner::setKey(const QString& label, const QString& token) {
    m_label->setText(label);
    m_token->setText(token);
    // Heard apart from the token beside it, the button says whose key it copies.
    m_copy->setAccessibleName(tr("Copy key %1").arg(label));
}

QString IssuedKeyBanner::label() const { return m_label->text(); }
QString IssuedKeyBanner::token() const { return m_token->text(); }

void IssuedKeyBanner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    QPainterPath shape;
    shape.addRoundedRect(box, kRadius, kRadius);
    p.save();
    p.setClipPath(shape);
    p.fillRect(box, Theme::brandWashGradient());
    p.fillRect(QRectF(box.left(), box.top(), box.width(), kStripHeight), Theme::accentBarGradient());
    p.restore();
    p.setPen(QPen(Theme::alpha(Theme::brandTeal(), 0.40), kStroke));
    p.setBrush(Qt::NoBrush);
    const qreal inset = kStroke / 2;
    p.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), kRadius - inset, kRadius - inset);
}

} // namespace tavrin
