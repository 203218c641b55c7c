#include "ui/kit/TRDisplayName.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// As narrow as the label lets a layout make it: a few letters a line.
constexpr int kMinimumLetters = 6;

int lineHeight(const QFont& font) { return int(std::ceil(QFontMetricsF(font).lineSpacing())); }

} // namespace

TRDisplayName::TRDisplayName(const QString& text, int maxLines, QWidget* parent)
    : QLabel(parent), m_maxLines(std::max(1, maxLines)) {
    const TextStyle style = Theme::text(TextRole::displayName);
    setFont(style.font);
    setLabelColor(this, style.colour);
    setTextFormat(Qt::PlainText);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setText(text);
}

QStringList TRDisplayName::shownLines(int width) const {
    if (width < 0)
        width = contentsRect().width();
    const QString name = text();
    if (name.isEmpty())
        return {};
    QTextLayout layout(name, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    int lastStart = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        if (lines.size() == m_maxLines)
            break; // more text than lines: the last line shown takes the rest, cut short
        lastStart = line.textStart();
        lines << name.mid(line.textStart(), line.textLength()).trimmed();
    }
    const bool cut = layout.lineCount() > m_maxLines;
    layout.endLayout();
    if (cut)
        lines.last() = QFontMetricsF(font()).elidedText(name.mid(lastStart).trimmed(), Qt::ElideRight, width);
    return lines;
}

int TRDisplayName::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const auto lines = qsizetype(shownLines(width - m.left() - m.right()).size());
    return int(std::max<qsizetype>(lines, 1)) * lineHeight(font()) + m.top() + m.bottom();
}

QSize TRDisplayName::sizeHint() const {
    const QMargins m = contentsMargins();
    const int oneLine = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 1;
    const int width = oneLine + m.left() + m.right();
    return {width, heightForWidth(width)};
}

QSize TRDisplayName::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    const int width = int(std::ceil(QFontMetricsF(font()).averageCharWidth() * kMinimumLetters)) + m.left() + m.right();
    return {width, lineHeight(font()) + m.top() + m.bottom()};
}

void TRDisplayName::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QRect area = contentsRect();
    const int step = lineHeight(font());
    int y = area.top();
    for (const QString& line : shownLines(area.width())) {
        p.drawText(QRect(area.left(), y, area.width(), step), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += step;
    }
}

} // namespace tavrin
