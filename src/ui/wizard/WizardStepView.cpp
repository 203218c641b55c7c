#include "ui/wizard/WizardStepView.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QCoroTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavrin {

WizardStepView::WizardStepView(QWidget* parent) : TabContent(parent) {}

QWidget* WizardStepView::firstField() const {
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (qobject_cast<QLineEdit*>(w) && isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(this))
            return w;
    return nullptr;
}

void WizardStepView::addStepHeader(WizardStep step, const QString& title, const QString& lead) {
    addWidget(new TabHeader(wizardStepHeader(step), title, lead));
}

void WizardStepView::addGreeting(const QString& greeting, const QStringList& headline, const QString& lead) {
    auto* block = new QWidget;
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, Spacing::lines);
    column->setSpacing(Spacing::stacked);
    column->addWidget(kitLabel(greeting, TextRole::greeting));
    // The step's heading, which a reader lists and jumps to as it does on the other steps; read as one
    // sentence, not as two lines of capitals.
    auto* words = new TRHeading(headline.join(QLatin1Char('\n')), TextRole::display);
    words->setAccessibleName(headline.join(QLatin1Char(' ')));
    column->addWidget(words);
    column->addSpacing(Spacing::lines);
    QLabel* leadLabel = kitLabel(lead, TextRole::lead);
    leadLabel->setWordWrap(true);
    column->addWidget(leadLabel);
    addWidget(block);
}

QHBoxLayout* WizardStepView::addFooterRow() {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, Spacing::section, 0, 0);
    row->setSpacing(Spacing::beside);
    stack()->addLayout(row); // after the stretch: the foot of the page
    return row;
}

void WizardStepView::addFooter(const std::function<void()>& back, TRButton* forward) {
    QHBoxLayout* row = addFooterRow();
    auto* backButton = new TRButton(tr("← Back"), GhostButtonStyle{});
    connect(backButton, &QPushButton::clicked, this, back);
    row->addWidget(backButton);
    row->addStretch(1);
    row->addWidget(forward);
    setForward(forward);
}

QCoro::Task<void> WizardStepView::pauseFor(std::chrono::milliseconds delay) { co_await QCoro::sleepFor(delay); }

void WizardStepView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_forward && m_forward->isEnabled() && m_forward->isVisibleTo(this))
            m_forward->animateClick();
        event->accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        TabContent::keyPressEvent(event);
    }
}

} // namespace tavrin
