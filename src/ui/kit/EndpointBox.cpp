#include "ui/kit/EndpointBox.h"

#include "ui/kit/CopyButton.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

EndpointBox::EndpointBox(const QString& label, const QString& url, EndpointBoxOptions options, QWidget* parent)
    : QWidget(parent), options_(options) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 9, 12, 9);
    row->setSpacing(8);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    label_ = kitLabel(label.toUpper(), Theme::mono(10, FontWeight::semibold, 1.7), Theme::inkMuted(), this);
    url_ = kitLabel(url, Theme::mono(12.5, FontWeight::medium), Theme::ink(), this);
    url_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    texts->addWidget(label_);
    texts->addWidget(url_);
    row->addLayout(texts, 1);
    copy_ = new CopyButton(11, this);
    copy_->setPayload(url);
    connect(copy_, &CopyButton::copied, this, &EndpointBox::copied);
    row->addWidget(copy_, 0, Qt::AlignVCenter);
    setMuted(options.muted);
}

void EndpointBox::setLabel(const QString& label) { label_->setText(label.toUpper()); }

void EndpointBox::setUrl(const QString& url) {
    url_->setText(url);
    copy_->setPayload(url);
}

void EndpointBox::setDashed(bool dashed) {
    options_.dashed = dashed;
    update();
}

void EndpointBox::setMuted(bool muted) {
    options_.muted = muted;
    setLabelColor(url_, muted ? Theme::inkMuted() : Theme::ink());
}

QString EndpointBox::url() const { return url_->text(); }

void EndpointBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 8, Theme::alpha(Theme::ink(), 0.035), Theme::line(), 1,
                    options_.dashed ? Qt::DashLine : Qt::SolidLine);
}

} // namespace tavrin
