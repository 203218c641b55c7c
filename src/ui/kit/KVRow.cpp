#include "ui/kit/KVRow.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {
// 7 above and below the text; the hairline along the bottom takes one more.
constexpr int kPaddingTop = 7;
constexpr int kPaddingBottom = 8;
} // namespace

KVRow::KVRow(const QString& label, const QString& value, KVRowOptions options, QWidget* parent)
    : QWidget(parent), m_label(label) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, kPaddingTop, 0, kPaddingBottom);
    row->setSpacing(Spacing::group);

    const TextRole valueRole = options.monospaced ? TextRole::monoValue : TextRole::bodyMedium;
    const QFont labelFont = Theme::font(TextRole::fieldLabel);
    const QFont valueFont = Theme::font(valueRole);
    m_labelView = kitLabel(label.toUpper(), TextRole::fieldLabel, {}, this);
    m_labelView->setFixedWidth(options.labelWidth);
    // First-baseline alignment: push the small caption down by the difference of the ascents.
    const int drop = int(std::lround(QFontMetricsF(valueFont).ascent() - QFontMetricsF(labelFont).ascent()));
    m_labelView->setContentsMargins(0, std::max(0, drop), 0, 0);

    // One line, like the values it shows (hashes, paths, numbers); a value too long for the row is cut
    // in the middle rather than widening the page, and is still read and copied whole.
    m_valueView = new TRElidedText(value, valueRole, this);
    m_valueView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_valueView->setMinimumWidth(m_valueView->minimumSizeHint().width());

    row->addWidget(m_labelView, 0, Qt::AlignTop);
    row->addWidget(m_valueView, 1, Qt::AlignTop);
    if (options.copyable) {
        //: Name of a copy button; %1 is the row's label, e.g. "State directory".
        m_copy = new TRCopyButton(options.copyName.isEmpty() ? tr("Copy %1").arg(label) : options.copyName,
                                  12, this);
        m_copy->setPayload(value);
        connect(m_copy, &TRCopyButton::copied, this, &KVRow::copied);
        row->addWidget(m_copy, 0, Qt::AlignTop);
    }
}

void KVRow::setValue(const QString& value, const QString& whole) {
    const QString all = whole.isEmpty() ? value : whole;
    m_valueView->setText(all, value);
    if (m_copy)
        m_copy->setPayload(all);
}

void KVRow::setLabel(const QString& label) {
    m_label = label;
    m_labelView->setText(label.toUpper());
}

QString KVRow::value() const { return m_valueView->shownText(); }

void KVRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, height() - 1, width(), 1), Theme::alpha(Theme::line(), 0.55));
}

} // namespace tavrin
