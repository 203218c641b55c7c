#include "ui/kit/TRStepRail.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KeldmarchLogoMark.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// The measures of the rail's own drawing.
constexpr int kRowHeight = 36;
constexpr qreal kBadge = 22;
constexpr qreal kRowPaddingH = 10;
constexpr qreal kBadgeGap = 10;
constexpr qreal kRadius = 7;
constexpr int kLogoSize = 32;
constexpr QMargins kBrandInsets{20, 22, 20, 8};
constexpr int kSideInset = 20;
constexpr int kRowsInset = 10;
constexpr int kRowGap = 2;

// The round badge of a step or list item: a check mark once done, otherwise its number; filled
// dark for the current step, outlined for steps to come, teal for list items.
enum class Badge { done, current, upcoming, listItem };

void paintBadge(QPainter& p, const QRectF& box, Badge kind, int number) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = Qt::transparent, border = Qt::transparent, ink = Theme::inkMuted();
    switch (kind) {
    case Badge::done:
        fill = Theme::brandTeal();
        ink = Theme::brandTealDark();
        break;
    case Badge::current:
        fill = Theme::ink();
        ink = Theme::surface();
        break;
    case Badge::upcoming:
        border = Theme::alpha(Theme::inkMuted(), 0.35);
        break;
    case Badge::listItem:
        fill = Theme::alpha(Theme::brandTeal(), 0.18);
        border = Theme::alpha(Theme::brandTeal(), 0.45);
        ink = Theme::brandTealDeep();
        break;
    }
    p.setBrush(fill);
    p.setPen(border.alpha() ? QPen(border, 1.2) : Qt::NoPen);
    p.drawEllipse(box.adjusted(0.6, 0.6, -0.6, -0.6));
    p.setPen(ink);
    if (kind == Badge::done) {
        p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(11)));
        p.drawText(box, Qt::AlignCenter, icons::glyph(u"checkmark"));
    } else {
        p.setFont(Theme::mono(11, FontWeight::bold));
        p.drawText(box, Qt::AlignCenter, QString::number(number));
    }
    p.restore();
}

QString stateDescription(StepState state, int number, int count) {
    const QString n = QString::number(number), of = QString::number(count);
    switch (state) {
    case StepState::done:
        return QCoreApplication::translate("TRStepRail", "Step %1 of %2, done").arg(n, of);
    case StepState::current:
        return QCoreApplication::translate("TRStepRail", "Step %1 of %2, current step").arg(n, of);
    case StepState::upcoming:
        break;
    }
    return QCoreApplication::translate("TRStepRail", "Step %1 of %2, not reached yet").arg(n, of);
}

} // namespace

TRStepRow::TRStepRow(int number, int count, const QString& title, QWidget* parent)
    : TRPaintedRow(title, {.radius = kRadius, .barInset = 5, .keyboardRing = false, .arrowsStep = false},
                   parent),
      m_number(number), m_count(count) {
    setText(literalButtonText(title));
    // Taller than one line when the title needs it: a fixed height would hold the row to one.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFocusPolicy(Qt::TabFocus);
    setState(StepState::upcoming);
}

void TRStepRow::setState(StepState state) {
    m_state = state;
    setChosen(state == StepState::current);
    // A step still to come cannot be chosen: it is skipped by Tab and read as unavailable.
    setEnabled(state != StepState::upcoming);
    setAccessibleDescription(stateDescription(state, m_number, m_count));
}

QRectF TRStepRow::titleBox(qreal width, qreal height) const {
    const qreal left = kRowPaddingH + kBadge + kBadgeGap;
    return {left, 0, width - left - kRowPaddingH, height};
}

QSize TRStepRow::sizeHint() const {
    const QFontMetrics metrics(Theme::font(TextRole::bodySemibold));
    const qreal around = titleBox(0, 0).left() + kRowPaddingH;
    return {int(std::ceil(around + metrics.horizontalAdvance(label()))), kRowHeight};
}

int TRStepRow::heightForWidth(int width) const {
    // Measured in the bolder face, so that choosing a step never needs a line more than it has.
    const QFontMetrics metrics(Theme::font(TextRole::bodySemibold));
    const QRectF box = titleBox(width, kRowHeight);
    const int lines =
        metrics.boundingRect(QRect(0, 0, std::max(1, int(box.width())), 1 << 16), Qt::TextWordWrap, label())
            .height();
    return std::max(kRowHeight, lines + (kRowHeight - metrics.height()));
}

void TRStepRow::paintContent(QPainter& p, const QRectF& box) {
    const QRectF badge(kRowPaddingH, (box.height() - kBadge) / 2, kBadge, kBadge);
    paintBadge(p, badge,
               m_state == StepState::done      ? Badge::done
               : m_state == StepState::current ? Badge::current
                                               : Badge::upcoming,
               m_number);

    const TextStyle text = Theme::text(isChosen() ? TextRole::bodySemibold : TextRole::body);
    p.setFont(text.font);
    p.setPen(m_state == StepState::upcoming ? Theme::inkMuted() : text.colour);
    p.drawText(titleBox(box.width(), box.height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
               label());
}

TRStepRail::TRStepRail(const QString& note, const QStringList& titles, QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    setAccessibleName(tr("Steps"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    column->addLayout(brandLine(kLogoSize, kBrandInsets));

    QLabel* noteLabel = kitLabel(note, TextRole::detail);
    noteLabel->setWordWrap(true);
    noteLabel->setContentsMargins(kSideInset, 0, kSideInset, Spacing::page.top());
    column->addWidget(noteLabel);

    auto* caption = new TRCaption(tr("STEPS"));
    caption->setContentsMargins(kSideInset, 0, kSideInset, Spacing::group);
    column->addWidget(caption);

    m_rows = new TRPaintedRows(kRowsInset, kRowGap);
    for (const QString& title : titles)
        m_rows->addRow(new TRStepRow(m_rows->rowCount() + 1, int(titles.size()), title));
    connect(m_rows, &TRPaintedRows::rowClicked, this, &TRStepRail::rowClicked);
    column->addLayout(m_rows);
    column->addStretch();
}

void TRStepRail::setStates(const std::vector<StepState>& states) {
    for (std::size_t i = 0; i < std::size_t(count()) && i < states.size(); ++i)
        row(int(i))->setState(states[i]);
}

void TRStepRail::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Theme::sidebarBackground()); }

namespace {

class NumberBadge : public QWidget {
public:
    NumberBadge(int number, QWidget* parent) : QWidget(parent), m_number(number) {
        setFixedSize(int(kBadge), int(kBadge));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintBadge(p, rect(), Badge::listItem, m_number);
    }

private:
    int m_number;
};

} // namespace

TRNumberedItem::TRNumberedItem(int number, const QString& title, const QString& text, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Spacing::beside);
    row->addWidget(new NumberBadge(number, this), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::stacked);
    m_title = kitLabel(title, TextRole::cardTitle, {}, this);
    m_text = kitLabel(text, TextRole::secondary, {}, this);
    for (QLabel* label : {m_title, m_text}) {
        label->setWordWrap(true);
        texts->addWidget(label);
    }
    row->addLayout(texts, 1);
}

QString TRNumberedItem::title() const { return m_title->text(); }
QString TRNumberedItem::text() const { return m_text->text(); }

} // namespace tavrin
