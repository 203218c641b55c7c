#include "ui/kit/KVRow.h"

#include "ui/kit/CopyButton.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace tavrin {

KVRow::KVRow(const QString& label, const QString& value, KVRowOptions options, QWidget* parent)
    : QWidget(parent), label_(label) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 7, 0, 8);
    row->setSpacing(8);

    const QFont labelFont = Theme::mono(10, FontWeight::semibold, 1.6);
    const QFont valueFont =
        options.monospaced ? Theme::mono(12.5, FontWeight::medium) : Theme::font(13, FontWeight::medium);
    labelView_ = kitLabel(label.toUpper(), labelFont, Theme::inkMuted(), this);
    labelView_->setFixedWidth(options.labelWidth);
    // First-baseline alignment: push the small caption down by the difference of the ascents.
    const int drop = int(std::lround(QFontMetricsF(valueFont).ascent() - QFontMetricsF(labelFont).ascent()));
    labelView_->setContentsMargins(0, std::max(0, drop), 0, 0);

    valueView_ = kitLabel(value, valueFont, Theme::ink(), this);
    valueView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // One line, like the values it shows (hashes, paths, numbers); a value too long for the row is cut
    // at the edge rather than widening the page, and the copy button still copies all of it.
    valueView_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    valueView_->setMinimumWidth(40);

    row->addWidget(labelView_, 0, Qt::AlignTop);
    row->addWidget(valueView_, 1, Qt::AlignTop);
    if (options.copyable) {
        copy_ = new CopyButton(12, this);
        copy_->setPayload(value);
        connect(copy_, &CopyButton::copied, this, &KVRow::copied);
        row->addWidget(copy_, 0, Qt::AlignTop);
    }
}

void KVRow::setValue(const QString& value) {
    valueView_->setText(value);
    if (copy_)
        copy_->setPayload(value);
}

void KVRow::setLabel(const QString& label) {
    label_ = label;
    labelView_->setText(label.toUpper());
}

QString KVRow::value() const { return valueView_->text(); }

void KVRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, height() - 1, width(), 1), Theme::alpha(Theme::line(), 0.55));
}

} // namespace tavrin
