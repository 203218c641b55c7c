#include "ui/kit/TRCard.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

TRCard::TRCard(const QString& title, const QString& subtitle, QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(Spacing::card, Spacing::card, Spacing::card, Spacing::card);
    outer->setSpacing(Spacing::block);

    m_header = new QWidget(this);
    m_headerLayout = new QHBoxLayout(m_header);
    m_headerLayout->setContentsMargins(0, 0, 0, 0);
    m_headerLayout->setSpacing(Spacing::beside);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::stacked);
    m_title = new TRHeading(title, TextRole::cardTitle, m_header);
    m_title->setWordWrap(true);
    m_subtitle = kitLabel(subtitle, TextRole::secondary, {}, m_header);
    m_subtitle->setWordWrap(true);
    texts->addWidget(m_title);
    texts->addWidget(m_subtitle);
    m_headerLayout->addLayout(texts, 1);
    outer->addWidget(m_header);

    m_body = new QVBoxLayout;
    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(Spacing::grid);
    outer->addLayout(m_body);
    updateHeader();
}

void TRCard::setTitle(const QString& title) {
    m_title->setText(title);
    updateHeader();
}

void TRCard::setSubtitle(const QString& subtitle) {
    m_subtitle->setText(subtitle);
    updateHeader();
}

void TRCard::setAccessory(QWidget* accessory) {
    if (m_accessory == accessory)
        return;
    delete m_accessory;
    m_accessory = accessory;
    if (m_accessory) {
        m_accessory->setParent(m_header);
        m_headerLayout->addWidget(m_accessory, 0, Qt::AlignTop | Qt::AlignRight);
        m_accessory->show();
    }
    updateHeader();
}

void TRCard::setDanger(bool danger) {
    m_danger = danger;
    setLabelColor(m_title, danger ? Theme::dangerRed() : Theme::ink());
    update();
}

QString TRCard::title() const { return m_title->text(); }
QString TRCard::subtitle() const { return m_subtitle->text(); }

void TRCard::updateHeader() {
    m_title->setVisible(!m_title->text().isEmpty());
    m_subtitle->setVisible(!m_subtitle->text().isEmpty());
    m_header->setVisible(!m_title->text().isEmpty() || !m_subtitle->text().isEmpty() || m_accessory);
}

void TRCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 14, Theme::surface(),
                    m_danger ? Theme::alpha(Theme::dangerRed(), 0.28) : Theme::line(), 1);
}

} // namespace tavrin
