#include "ui/kit/TRSegmentedPicker.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

constexpr int kInset = 2; // the track around the segments
constexpr qreal kTrackRadius = 8;
constexpr qreal kThumbRadius = 6;
constexpr int kPaddingH = 14;
constexpr int kPaddingV = 4;
constexpr qreal kDividerMargin = 6;

QFont segmentFont() { return Theme::font(TextRole::bodyMedium); }

} // namespace

TRSegment::TRSegment(const QString& label, TRSegmentedPicker* picker)
    : QAbstractButton(picker), m_picker(picker), m_label(label) {
    setText(literalButtonText(label));
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TRSegment::sizeHint() const {
    return {m_width, int(std::ceil(QFontMetricsF(segmentFont()).height())) + 2 * kPaddingV};
}

void TRSegment::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        m_picker->step(this, event->key());
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void TRSegment::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    const QRectF box = rect();
    if (isChecked()) {
        paintRoundedBox(p, box.translated(0, 0.75), kThumbRadius, Theme::alpha(Theme::ink(), 0.08), Qt::transparent, 0);
        paintRoundedBox(p, box, kThumbRadius, Theme::surface(), Theme::alpha(Theme::ink(), 0.10), 1);
    } else if (isEnabled() && (underMouse() || isDown())) {
        paintRoundedBox(p, box, kThumbRadius, Theme::alpha(Theme::ink(), isDown() ? 0.08 : 0.04), Qt::transparent, 0);
    }
    const QFont font = segmentFont();
    p.setFont(font);
    p.setPen(isChecked() ? Theme::ink() : Theme::inkSecondary());
    const QString shown = QFontMetricsF(font).elidedText(m_label, Qt::ElideRight, box.width() - kPaddingH);
    p.drawText(box, Qt::AlignCenter, shown);
    // The ring is for keyboard users: a click already shows where the choice went.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, box, kThumbRadius);
}

TRSegmentedPicker::TRSegmentedPicker(const QString& title, const QStringList& options, QWidget* parent)
    : QWidget(parent) {
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(Spacing::beside);
    m_segmentRow = new QHBoxLayout;
    m_segmentRow->setContentsMargins(kInset, kInset, kInset, kInset);
    m_segmentRow->setSpacing(0);
    m_row->addLayout(m_segmentRow, 1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setTitle(title);
    setOptions(options);
}

void TRSegmentedPicker::setOptions(const QStringList& options) {
    setFocusProxy(nullptr);
    qDeleteAll(m_segments);
    m_segments.clear();
    const QFontMetricsF metrics(segmentFont());
    qreal widest = 0;
    for (const QString& option : options)
        widest = std::max(widest, metrics.horizontalAdvance(option));
    for (const QString& option : options) {
        auto* segment = new TRSegment(option, this);
        segment->m_width = int(std::ceil(widest)) + 2 * kPaddingH;
        m_segmentRow->addWidget(segment, 1);
        connect(segment, &QAbstractButton::clicked, this, [this, segment] {
            const auto at = std::ranges::find(m_segments, segment);
            if (at != m_segments.end())
                choose(int(at - m_segments.begin()), true);
        });
        m_segments.push_back(segment);
    }
    const int kept = m_current < count() ? m_current : -1;
    if (kept != m_current) {
        m_current = kept;
        emit currentIndexChanged(m_current);
    }
    updateSegments();
    updateGeometry();
}

QStringList TRSegmentedPicker::options() const {
    QStringList labels;
    for (const TRSegment* segment : m_segments)
        labels << segment->label();
    return labels;
}

void TRSegmentedPicker::setCurrentIndex(int index) { choose(index, false); }

void TRSegmentedPicker::setTitle(const QString& title) {
    m_title = title;
    setAccessibleName(title);
    updateTitle();
}

void TRSegmentedPicker::setTitleHidden(bool hidden) {
    m_titleHidden = hidden;
    updateTitle();
}

// A hidden title is no widget at all, so that screen readers do not meet it twice.
void TRSegmentedPicker::updateTitle() {
    const bool shown = !m_titleHidden && !m_title.isEmpty();
    if (!shown) {
        delete m_titleLabel;
        m_titleLabel = nullptr;
    } else if (!m_titleLabel) {
        m_titleLabel = kitLabel(m_title, TextRole::body, {}, this);
        m_row->insertWidget(0, m_titleLabel, 0, Qt::AlignVCenter);
    } else {
        m_titleLabel->setText(m_title);
    }
    updateGeometry();
}

TRSegment* TRSegmentedPicker::segment(int index) const {
    return index >= 0 && index < count() ? m_segments[std::size_t(index)] : nullptr;
}

void TRSegmentedPicker::choose(int index, bool byUser) {
    if (index < 0 || index >= count())
        index = -1;
    const bool changed = index != m_current;
    m_current = index;
    updateSegments();
    if (changed)
        emit currentIndexChanged(index);
    if (byUser && index >= 0)
        emit activated(index);
}

void TRSegmentedPicker::step(TRSegment* from, int key) {
    const auto found = std::ranges::find(m_segments, from);
    if (found == m_segments.end())
        return;
    const int at = int(found - m_segments.begin());
    const bool reversed = layoutDirection() == Qt::RightToLeft;
    int target = at;
    switch (key) {
    case Qt::Key_Left:
        target = reversed ? at + 1 : at - 1;
        break;
    case Qt::Key_Right:
        target = reversed ? at - 1 : at + 1;
        break;
    case Qt::Key_Up:
        target = at - 1;
        break;
    case Qt::Key_Down:
        target = at + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = count() - 1;
        break;
    default:
        return;
    }
    target = std::clamp(target, 0, count() - 1);
    if (target == m_current)
        return; // at an end already
    choose(target, true);
    m_segments[std::size_t(target)]->setFocus(Qt::TabFocusReason);
}

// One tab stop for the whole picker, as for any radio group: the chosen segment, or the first while
// none is chosen. The others still take focus from a click, which chooses them anyway.
void TRSegmentedPicker::updateSegments() {
    const int stop = m_current >= 0 ? m_current : 0;
    for (int i = 0; i < count(); ++i) {
        TRSegment* segment = m_segments[std::size_t(i)];
        segment->setChecked(i == m_current);
        segment->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    setFocusProxy(segment(stop));
    update();
}

QRectF TRSegmentedPicker::trackRect() const {
    QRect united;
    for (const TRSegment* segment : m_segments)
        united = united.united(segment->geometry());
    if (united.isEmpty())
        return {};
    return QRectF(united).adjusted(-kInset, -kInset, kInset, kInset);
}

void TRSegmentedPicker::paintEvent(QPaintEvent*) {
    const QRectF track = trackRect();
    if (track.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    paintRoundedBox(p, track, kTrackRadius, Theme::alpha(Theme::ink(), 0.06), Qt::transparent, 0);
    // Hairlines part two neighbours only where neither is raised on the thumb.
    p.setPen(QPen(Theme::alpha(Theme::ink(), 0.12), 1));
    for (int i = 1; i < count(); ++i) {
        if (i == m_current || i - 1 == m_current)
            continue;
        const qreal x = m_segments[std::size_t(i)]->geometry().left() + 0.5;
        p.drawLine(QPointF(x, track.top() + kDividerMargin), QPointF(x, track.bottom() - kDividerMargin));
    }
}

void TRSegmentedPicker::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace tavrin
