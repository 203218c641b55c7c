#include "ui/tabs/OrgPreambleTab.h"

#include "state/ServerStateModel.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/OrgPreambleTabLogic.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kEditorMinHeight = 110;
}

OrgPreambleTab::OrgPreambleTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));

    m_unreachable = new TRCard(tr("Server unreachable"));
    auto* why = kitLabel(tr("Start the server first."), TextRole::body);
    why->setWordWrap(true);
    m_unreachable->body()->addWidget(why);
    addWidget(m_unreachable);

    SettingsActions* settings = &state->settingsActions();
    m_editor = new RecordEditor<ClientOrgPreambleResponse>(state, m_flows, [settings] { return settings->orgPreamble(); });
    addWidget(m_editor);
    buildEditorCard();
    stack()->addStretch();

    connect(m_editor, &RecordEditorBase::recordReplaced, this, &OrgPreambleTab::showStored);
    connect(m_state, &ServerStateModel::statusChanged, this, &OrgPreambleTab::followStatus);
    followStatus();
}

void OrgPreambleTab::buildEditorCard() {
    auto* card = new TRCard(
        tr("Org Preamble"),
        tr("A short, persistent instruction prepended to every request to the server. Use it to set context "
           "about who you are, what jurisdiction you operate in, or what tone you want — without "
           "re-stating it in each conversation."));
    m_text = new TRTextEditor(kEditorMinHeight);
    m_text->editor()->setAccessibleName(tr("Org preamble"));
    card->body()->addWidget(m_text);

    auto* note = kitLabel(tr("The KV cache is disabled while a preamble is set — expect slightly slower "
                             "time-to-first-token in exchange for the persistent context."),
                          TextRole::detail);
    note->setWordWrap(true);
    card->body()->addWidget(note);

    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::group);
    m_counter = kitLabel({}, TextRole::small);
    row->addWidget(m_counter);
    row->addStretch(1);
    m_clear = new TRButton(tr("Clear"), GhostButtonStyle{.size = ButtonSize::small});
    m_save = new TRButton(tr("Save preamble"), KeldmarchButtonStyle{.size = ButtonSize::small});
    row->addWidget(m_clear);
    row->addWidget(m_save);
    card->body()->addLayout(row);
    card->body()->addWidget(m_editor->statusLine());
    card->body()->addWidget(m_editor->errorLine());
    m_editor->body()->addWidget(card);

    connect(m_text, &TRTextEditor::textChanged, this, &OrgPreambleTab::textEdited);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_clear, &QPushButton::clicked, this, &OrgPreambleTab::clear);
}

// Hidden, not rebuilt: what was typed is still there when the server answers again.
void OrgPreambleTab::followStatus() {
    const bool answers = m_state->status().has_value();
    m_unreachable->setVisible(!answers);
    m_editor->setVisible(answers);
}

void OrgPreambleTab::showStored() {
    const auto* stored = m_editor->copy();
    m_showingStored = true;
    m_text->setText(stored->preamble.value_or(QString()));
    m_showingStored = false;
    showCounter();
}

void OrgPreambleTab::textEdited() {
    if (!m_showingStored)
        m_editor->statusLine()->clearMessage();
    showCounter();
}

void OrgPreambleTab::showCounter() {
    const auto* stored = m_editor->copy();
    if (!stored)
        return;
    const QString typed = m_text->text();
    const PreambleCounter counter = preambleCounter(typed, stored->maxLength);
    m_counter->setText(counter.text);
    setLabelColor(m_counter, counter.colour);
    m_save->setEnabled(preambleSaveEnabled(counter, m_saving));
    m_clear->setEnabled(preambleClearEnabled(typed, m_saving));
}

// On failure the text stays as typed, for another try.
Flow OrgPreambleTab::save() {
    const auto* stored = m_editor->copy();
    if (!stored) // the buttons show only with the record
        co_return;
    m_saving = true;
    showCounter();
    m_editor->clearMessages();
    const QString typed = m_text->text();
    const qint64 limit = stored->maxLength;
    ActionOutcome<ClientOrgPreambleResponse> saved =
        co_await m_state->settingsActions().saveOrgPreamble(typed, limit);
    m_saving = false;
    if (!saved) {
        m_editor->showError(saved.error().message());
        showCounter();
        co_return;
    }
    m_editor->showStatus(preambleSavedMessage(*saved));
    m_editor->replace(std::move(*saved));
}

void OrgPreambleTab::clear() {
    m_text->setText({});
    save();
}

} // namespace tavrin
