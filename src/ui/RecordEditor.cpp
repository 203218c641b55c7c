#include "ui/RecordEditor.h"

#include "state/ServerStateModel.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

RecordEditorBase::RecordEditorBase(ServerStateModel* state, const ScreenFlows& flows, QWidget* parent)
    : QWidget(parent), m_state(state), m_flows(flows), m_lastPhase(state->phase().kind) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    m_loading = new QWidget;
    auto* loading = new QVBoxLayout(m_loading);
    loading->setContentsMargins(0, Spacing::section, 0, 0);
    loading->setSpacing(Spacing::beside);
    m_wheel = new TRProgressIndicator;
    loading->addWidget(m_wheel, 0, Qt::AlignHCenter);
    m_loadError = new TRMessageLine(MessageKind::error);
    m_loadError->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    loading->addWidget(m_loadError);
    stack->addWidget(m_loading);

    m_content = new QWidget;
    m_body = new QVBoxLayout(m_content);
    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(Spacing::section);
    m_content->hide();
    stack->addWidget(m_content);

    m_statusLine = new TRMessageLine(MessageKind::success);
    m_errorLine = new TRMessageLine(MessageKind::error);

    connect(m_wheel, &TRProgressIndicator::appeared, this, [this] {
        if (!hasRecord())
            load();
    });
    connect(m_state, &ServerStateModel::phaseChanged, this, &RecordEditorBase::followPhase);
}

// The model republishes the phase on every poll; only a return to running is news.
void RecordEditorBase::followPhase() {
    const Phase::Kind now = m_state->phase().kind;
    const bool cameBack = now == Phase::Kind::running && m_lastPhase != Phase::Kind::running;
    m_lastPhase = now;
    if (cameBack && !hasRecord() && m_wheel->isVisible())
        load();
}

QString RecordEditorBase::errorMessage() const { return m_errorLine->message(); }

void RecordEditorBase::clearMessages() {
    showStatus({});
    showError({});
}

void RecordEditorBase::showStatus(const QString& message) { m_statusLine->setMessage(message); }

void RecordEditorBase::showError(const QString& message) {
    m_errorLine->setMessage(message);
    m_loadError->setMessage(message);
}

void RecordEditorBase::showReplacedRecord() {
    if (!m_content->isVisibleTo(this)) {
        m_loading->hide();
        m_content->show();
        emit contentShown();
    }
    emit recordReplaced();
}

} // namespace tavrin
