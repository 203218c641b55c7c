#include "ui/kit/TRNavigationTitle.h"

#include "ui/kit/KitParts.h"

#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr QMargins kInsets{10, 2, 10, 2};
}

TRNavigationTitle::TRNavigationTitle(const QString& title, const QString& subtitle, QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kInsets);
    column->setSpacing(0);
    column->addWidget(kitLabel(title, TextRole::strong));
    m_subtitle = kitLabel(subtitle, TextRole::small);
    column->addWidget(m_subtitle);
}

void TRNavigationTitle::setSubtitle(const QString& subtitle) {
    if (m_subtitle->text() != subtitle)
        m_subtitle->setText(subtitle);
}

QString TRNavigationTitle::subtitle() const { return m_subtitle->text(); }

} // namespace tavrin
