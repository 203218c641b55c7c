#include "ui/kit/TRCodeBlock.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace tavrin {

namespace {
constexpr QMargins kInsets{12, 10, 8, 10};
}

TRCodeBlock::TRCodeBlock(const QString& text, const QString& copyName, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kInsets);
    row->setSpacing(Spacing::group);
    m_text = kitLabel(text, TextRole::monoValue, {}, this);
    // Wrapped anywhere rather than cut: a long key in a command must stay whole on screen. The copy
    // button copies the text as it is, without the wraps.
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    row->addWidget(m_text, 1);
    m_copy = new TRCopyButton(copyName, 11, this);
    m_copy->setPayload(text);
    row->addWidget(m_copy, 0, Qt::AlignTop);
}

void TRCodeBlock::setText(const QString& text) {
    m_text->setText(text);
    m_copy->setPayload(text);
}

QString TRCodeBlock::text() const { return m_text->text(); }

void TRCodeBlock::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 8, Theme::alpha(Theme::ink(), 0.035), Theme::line(), 1);
}

} // namespace tavrin
