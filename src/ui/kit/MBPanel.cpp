#include "ui/kit/MBPanel.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tavrin {

namespace {

constexpr int kItemPaddingV = 6;
constexpr int kBlockPaddingV = 6;
constexpr int kHeaderLineGap = 1;
constexpr int kStatPaddingV = 5;
constexpr int kStripHeight = 2;
constexpr int kIconFrame = 14;
constexpr int kIconGap = 8;

constexpr int kRowPaddingH = Spacing::menuRow;

QFont itemLabelFont() { return Theme::font(TextRole::body); }
QFont itemShortcutFont() { return Theme::font(TextRole::monoSmall); }
QFont statLabelFont() { return Theme::font(TextRole::menuStat); }
QFont statValueFont() { return Theme::font(TextRole::monoFigure); }

// A hairline between blocks, as a system divider draws it.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Theme::line()); }
};

} // namespace

MBPanel::MBPanel(QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    m_stack = new QVBoxLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(0);
}

void MBPanel::addBlock(QWidget* block, bool padded) {
    if (m_stack->count() > 0)
        m_stack->addWidget(new Divider(this));
    if (!padded) {
        m_stack->addWidget(block);
        return;
    }
    auto* frame = new QWidget(this);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(0, kBlockPaddingV, 0, kBlockPaddingV);
    inner->setSpacing(0);
    inner->addWidget(block);
    m_stack->addWidget(frame);
}

void MBPanel::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Theme::surface()); }

MBHeader::MBHeader(const QString& phaseText, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(kRowPaddingH, 12 + kStripHeight, kRowPaddingH, 10);
    stack->setSpacing(kHeaderLineGap);
    stack->addWidget(kitLabel(QStringLiteral("TAVRIN KELDMARCH"), TextRole::menuTitle, {}, this));
    m_phase = kitLabel(phaseText, TextRole::monoPill, Theme::inkMuted(), this);
    m_phase->setWordWrap(true);
    stack->addWidget(m_phase);
}

void MBHeader::setPhaseText(const QString& text) { m_phase->setText(text); }
QString MBHeader::phaseText() const { return m_phase->text(); }

void MBHeader::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(QRectF(0, 0, width(), kStripHeight), QBrush(Theme::accentBarGradient()));
}

MBCaption::MBCaption(const QString& text, QWidget* parent) : QLabel(text.toUpper(), parent), m_caption(text) {
    setTextFormat(Qt::PlainText);
    const TextStyle style = Theme::text(TextRole::caption);
    setFont(style.font);
    setLabelColor(this, style.colour);
    setContentsMargins(kRowPaddingH, Spacing::caption, kRowPaddingH, Spacing::caption);
}

MBNote::MBNote(const QString& text, Kind kind, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    const TextStyle style = Theme::text(kind == Kind::muted ? TextRole::message : TextRole::monoNote);
    setFont(style.font);
    setLabelColor(this, kind == Kind::muted    ? Theme::inkMuted()
                        : kind == Kind::danger ? Theme::dangerRed()
                                               : style.colour);
    setContentsMargins(kRowPaddingH, kItemPaddingV, kRowPaddingH, kItemPaddingV);
}

MBItem::MBItem(const QString& symbol, const QString& label, bool danger, QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol), m_label(label), m_danger(danger) {
    setAccessibleName(label);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MBItem::setSymbol(const QString& symbol) {
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

void MBItem::setLabel(const QString& label) {
    if (label == m_label)
        return;
    m_label = label;
    setAccessibleName(label);
    update();
}

void MBItem::setShortcutText(std::optional<QString> shortcut) {
    m_shortcut = std::move(shortcut);
    updateGeometry();
    update();
}

QColor MBItem::background() const {
    if (!m_hovered)
        return Qt::transparent;
    return Theme::alpha(m_danger ? Theme::dangerRed() : Theme::linkBlue(), 0.10);
}

QSize MBItem::sizeHint() const {
    const QFontMetrics fm(itemLabelFont());
    const int textHeight = std::max(fm.height(), int(std::ceil(TRSymbol::glyphPixels(12))));
    int width = kRowPaddingH * 2 + kIconFrame + kIconGap + fm.horizontalAdvance(m_label);
    if (m_shortcut)
        width += kIconGap + QFontMetrics(itemShortcutFont()).horizontalAdvance(*m_shortcut);
    return {width, textHeight + 2 * kItemPaddingV};
}

void MBItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), background());
    if (hasFocus() && m_keyboardFocus)
        paintFocusRing(p, QRectF(rect()).adjusted(2, 1, -2, -1), 4);

    const QColor tint = m_danger ? Theme::dangerRed() : Theme::inkMuted();
    QRectF iconBox(kRowPaddingH, 0, kIconFrame, height());
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(12)));
    p.setPen(tint);
    p.drawText(iconBox, Qt::AlignCenter, icons::glyph(m_symbol));

    QRectF textBox(iconBox.right() + kIconGap, 0, width() - iconBox.right() - kIconGap - kRowPaddingH, height());
    if (m_shortcut) {
        p.setFont(itemShortcutFont());
        p.setPen(m_danger ? Theme::alpha(Theme::dangerRed(), 0.75) : Theme::inkMuted());
        p.drawText(textBox, Qt::AlignRight | Qt::AlignVCenter, *m_shortcut);
        textBox.setRight(textBox.right() - QFontMetrics(itemShortcutFont()).horizontalAdvance(*m_shortcut) - kIconGap);
    }
    p.setFont(itemLabelFont());
    p.setPen(m_danger ? Theme::dangerRed() : Theme::ink());
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(itemLabelFont()).elidedText(m_label, Qt::ElideRight, int(textBox.width())));
}

void MBItem::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void MBItem::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// A panel that opens hands focus to its first row; the ring shows only once the user moves by keys.
void MBItem::focusInEvent(QFocusEvent* event) {
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

// Enter activates, and the arrow keys move between rows as in a menu.
void MBItem::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        animateClick();
        return;
    case Qt::Key_Down:
        focusNextChild();
        return;
    case Qt::Key_Up:
        focusPreviousChild();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

MBStat::MBStat(const QString& label, const QString& value, QWidget* parent)
    : QWidget(parent), m_label(label), m_value(value) {
    setAccessibleName(label);
    setAccessibleDescription(value);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MBStat::setValue(const QString& value) {
    if (value == m_value)
        return;
    m_value = value;
    setAccessibleDescription(value);
    update();
}

QSize MBStat::sizeHint() const {
    const int textHeight = std::max(QFontMetrics(statLabelFont()).height(), QFontMetrics(statValueFont()).height());
    return {kRowPaddingH * 2 + QFontMetrics(statLabelFont()).horizontalAdvance(m_label) + 40,
            textHeight + 2 * kStatPaddingV};
}

QRectF MBStat::valueRect() const {
    const qreal labelRight = kRowPaddingH + QFontMetrics(statLabelFont()).horizontalAdvance(m_label) + 12;
    return QRectF(labelRight, 0, std::max<qreal>(0, width() - kRowPaddingH - labelRight), height());
}

QString MBStat::displayedValue() const {
    return QFontMetrics(statValueFont()).elidedText(m_value, Qt::ElideMiddle, int(valueRect().width()));
}

void MBStat::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(statLabelFont());
    p.setPen(Theme::inkSecondary());
    p.drawText(QRectF(kRowPaddingH, 0, width() - 2 * kRowPaddingH, height()), Qt::AlignLeft | Qt::AlignVCenter, m_label);
    p.setFont(statValueFont());
    p.setPen(Theme::ink());
    p.drawText(valueRect(), Qt::AlignRight | Qt::AlignVCenter, displayedValue());
}

} // namespace tavrin
