#include "ui/kit/EndpointBox.h"

#include "ui/kit/TRCopyButton.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr QMargins kInsets{12, 9, 12, 9};
}

EndpointBox::EndpointBox(const QString& label, const QString& url, EndpointBoxOptions options, QWidget* parent)
    : QWidget(parent), m_options(options) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kInsets);
    row->setSpacing(Spacing::group);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::stacked);
    m_label = kitLabel(label.toUpper(), TextRole::boxLabel, {}, this);
    m_url = new TRValueLabel(url, TextRole::monoValue, this);
    texts->addWidget(m_label);
    texts->addWidget(m_url);
    row->addLayout(texts, 1);
    m_copy =
        //: Name of a copy button; %1 is the endpoint's caption, e.g. "Localhost".
        new TRCopyButton(options.copyName.isEmpty() ? tr("Copy %1").arg(label) : options.copyName, 11, this);
    m_copy->setPayload(url);
    connect(m_copy, &TRCopyButton::copied, this, &EndpointBox::copied);
    row->addWidget(m_copy, 0, Qt::AlignVCenter);
    setMuted(options.muted);
}

void EndpointBox::setLabel(const QString& label) { m_label->setText(label.toUpper()); }

void EndpointBox::setUrl(const QString& url) {
    m_url->setText(url);
    m_copy->setPayload(url);
}

void EndpointBox::setDashed(bool dashed) {
    if (dashed == m_options.dashed)
        return;
    m_options.dashed = dashed;
    update();
}

void EndpointBox::setMuted(bool muted) {
    m_options.muted = muted;
    setLabelColor(m_url, muted ? Theme::inkMuted() : Theme::ink());
}

QString EndpointBox::url() const { return m_url->text(); }

void EndpointBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 8, Theme::alpha(Theme::ink(), 0.035), Theme::line(), 1,
                    m_options.dashed ? Qt::DashLine : Qt::SolidLine);
}

} // namespace tavrin
