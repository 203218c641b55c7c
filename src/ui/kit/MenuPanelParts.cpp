#include "ui/kit/MenuPanelParts.h"

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

constexpr int kRowPaddingH = 14;
constexpr int kItemPaddingV = 6;
constexpr int kStatPaddingV = 5;
constexpr int kStripHeight = 2;
constexpr int kIconFrame = 14;
constexpr int kIconGap = 8;

QFont itemLabelFont() { return Theme::font(13); }
QFont itemShortcutFont() { return Theme::mono(11, FontWeight::medium); }
QFont statLabelFont() { return Theme::font(12.5); }
QFont statValueFont() { return Theme::mono(11.5, FontWeight::medium); }

// A hairline between blocks, as a system divider draws it.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Theme::line()); }
};

} // namespace

MenuPanel::MenuPanel(QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    stack_ = new QVBoxLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(0);
}

void MenuPanel::addBlock(QWidget* block, bool padded) {
    if (stack_->count() > 0)
        stack_->addWidget(new Divider(this));
    if (!padded) {
        stack_->addWidget(block);
        return;
    }
    auto* frame = new QWidget(this);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(0, 6, 0, 6);
    inner->setSpacing(0);
    inner->addWidget(block);
    stack_->addWidget(frame);
}

void MenuPanel::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), Theme::surface()); }

MBHeader::MBHeader(const QString& phaseText, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(kRowPaddingH, 12 + kStripHeight, kRowPaddingH, 10);
    stack->setSpacing(1);
    stack->addWidget(kitLabel(QStringLiteral("TAVRIN KELDMARCH"), Theme::font(12, FontWeight::black, 1.6),
                              Theme::ink(), this));
    phase_ = kitLabel(phaseText, Theme::mono(10, FontWeight::medium, 1.4), Theme::inkMuted(), this);
    phase_->setWordWrap(true);
    stack->addWidget(phase_);
}

void MBHeader::setPhaseText(const QString& text) { phase_->setText(text); }
QString MBHeader::phaseText() const { return phase_->text(); }

void MBHeader::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(QRectF(0, 0, width(), kStripHeight), QBrush(Theme::accentBarGradient()));
}

MBCaption::MBCaption(const QString& text, QWidget* parent) : QLabel(text.toUpper(), parent), caption_(text) {
    setTextFormat(Qt::PlainText);
    setFont(Theme::mono(9.5, FontWeight::semibold, 2));
    setLabelColor(this, Theme::inkMuted());
    setContentsMargins(kRowPaddingH, 4, kRowPaddingH, 4);
}

MBNote::MBNote(const QString& text, Kind kind, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    if (kind == Kind::muted) {
        setFont(Theme::font(12));
        setLabelColor(this, Theme::inkMuted());
    } else {
        setFont(Theme::mono(11, FontWeight::semibold));
        setLabelColor(this, Theme::okGreen());
    }
    setContentsMargins(kRowPaddingH, 6, kRowPaddingH, 6);
}

MBItem::MBItem(const QString& symbol, const QString& label, bool danger, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), label_(label), danger_(danger) {
    setAccessibleName(label);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MBItem::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    update();
}

void MBItem::setLabel(const QString& label) {
    label_ = label;
    setAccessibleName(label);
    update();
}

void MBItem::setShortcutText(std::optional<QString> shortcut) {
    shortcut_ = std::move(shortcut);
    updateGeometry();
    update();
}

QColor MBItem::background() const {
    if (!hovered_)
        return Qt::transparent;
    return Theme::alpha(danger_ ? Theme::dangerRed() : Theme::linkBlue(), 0.10);
}

QSize MBItem::sizeHint() const {
    const QFontMetrics fm(itemLabelFont());
    const int textHeight = std::max(fm.height(), int(std::ceil(TRSymbol::glyphPixels(12))));
    int width = kRowPaddingH * 2 + kIconFrame + kIconGap + fm.horizontalAdvance(label_);
    if (shortcut_)
        width += kIconGap + QFontMetrics(itemShortcutFont()).horizontalAdvance(*shortcut_);
    return {width, textHeight + 2 * kItemPaddingV};
}

void MBItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), background());
    if (hasFocus() && keyboardFocus_)
        paintFocusRing(p, QRectF(rect()).adjusted(2, 1, -2, -1), 4);

    const QColor tint = danger_ ? Theme::dangerRed() : Theme::inkMuted();
    QRectF iconBox(kRowPaddingH, 0, kIconFrame, height());
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(12)));
    p.setPen(tint);
    p.drawText(iconBox, Qt::AlignCenter, icons::glyph(symbol_));

    QRectF textBox(iconBox.right() + kIconGap, 0, width() - iconBox.right() - kIconGap - kRowPaddingH, height());
    if (shortcut_) {
        p.setFont(itemShortcutFont());
        p.setPen(danger_ ? Theme::alpha(Theme::dangerRed(), 0.75) : Theme::inkMuted());
        p.drawText(textBox, Qt::AlignRight | Qt::AlignVCenter, *shortcut_);
        textBox.setRight(textBox.right() - QFontMetrics(itemShortcutFont()).horizontalAdvance(*shortcut_) - kIconGap);
    }
    p.setFont(itemLabelFont());
    p.setPen(danger_ ? Theme::dangerRed() : Theme::ink());
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(itemLabelFont()).elidedText(label_, Qt::ElideRight, int(textBox.width())));
}

void MBItem::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void MBItem::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// A panel that opens hands focus to its first row; the ring shows only once the user moves by keys.
void MBItem::focusInEvent(QFocusEvent* event) {
    keyboardFocus_ = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

void MBItem::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

MBStat::MBStat(const QString& label, const QString& value, QWidget* parent)
    : QWidget(parent), label_(label), value_(value) {
    setAccessibleName(label);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MBStat::setValue(const QString& value) {
    value_ = value;
    update();
}

QSize MBStat::sizeHint() const {
    const int textHeight = std::max(QFontMetrics(statLabelFont()).height(), QFontMetrics(statValueFont()).height());
    return {kRowPaddingH * 2 + QFontMetrics(statLabelFont()).horizontalAdvance(label_) + 40,
            textHeight + 2 * kStatPaddingV};
}

QRectF MBStat::valueRect() const {
    const qreal labelRight = kRowPaddingH + QFontMetrics(statLabelFont()).horizontalAdvance(label_) + 12;
    return QRectF(labelRight, 0, std::max<qreal>(0, width() - kRowPaddingH - labelRight), height());
}

QString MBStat::displayedValue() const {
    return QFontMetrics(statValueFont()).elidedText(value_, Qt::ElideMiddle, int(valueRect().width()));
}

void MBStat::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(statLabelFont());
    p.setPen(Theme::inkSecondary());
    p.drawText(QRectF(kRowPaddingH, 0, width() - 2 * kRowPaddingH, height()), Qt::AlignLeft | Qt::AlignVCenter, label_);
    p.setFont(statValueFont());
    p.setPen(Theme::ink());
    p.drawText(valueRect(), Qt::AlignRight | Qt::AlignVCenter, displayedValue());
}

} // namespace tavrin
