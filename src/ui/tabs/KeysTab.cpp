#include "ui/tabs/KeysTab.h"

#include "state/ServerStateModel.h"
#include "ui/kit/IssuedKeyBanner.h"
#include "ui/kit/KeyListRow.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRKeyedList.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/KeysTabLogic.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace tavrin {

KeysTab::KeysTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    buildCreateCard();
    m_banner = new IssuedKeyBanner;
    m_banner->setVisible(false);
    addWidget(m_banner);
    buildKeyList();

    connect(m_state, &ServerStateModel::keysChanged, this, &KeysTab::showKeys);
    showScope();
    showKeys();
}

void KeysTab::buildCreateCard() {
    auto* card = new TRCard(tr("Create a new key"), tr("Pick a label so you remember what it's for."));
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::beside);
    m_label = new TRTextField;
    m_label->setPlaceholderText(keyLabelPlaceholder());
    m_label->setAccessibleName(tr("Key label"));
    m_create = new TRButton(tr("Create key"), KeldmarchButtonStyle{});
    m_create->setEnabled(false);
    row->addWidget(m_label, 1, Qt::AlignVCenter);
    row->addWidget(m_create, 0, Qt::AlignVCenter);
    card->body()->addLayout(row);

    card->body()->addSpacing(Spacing::lines);
    auto* scope = new QVBoxLayout;
    scope->setSpacing(Spacing::lines);
    scope->addWidget(new TRCaption(tr("SCOPE")));
    QStringList labels;
    for (const ScopeChoice& choice : scopeChoices())
        labels << choice.label;
    m_scope = new TRSegmentedPicker(tr("Scope"), labels);
    m_scope->setTitleHidden(true);
    m_scope->setCurrentIndex(0);
    scope->addWidget(m_scope, 0, Qt::AlignLeft);
    m_scopeDescription = kitLabel({}, TextRole::detail);
    m_scopeDescription->setWordWrap(true);
    scope->addWidget(m_scopeDescription);
    card->body()->addLayout(scope);

    m_error = new TRMessageLine(MessageKind::error);
    card->body()->addWidget(m_error);
    addWidget(card);

    connect(m_label, &QLineEdit::textChanged, this,
            [this](const QString& label) { m_create->setEnabled(KeyActions::acceptableLabel(label)); });
    connect(m_label, &QLineEdit::returnPressed, this, [this] {
        if (m_create->isEnabled())
            startCreate();
    });
    connect(m_create, &QAbstractButton::clicked, this, &KeysTab::startCreate);
    connect(m_scope, &TRSegmentedPicker::currentIndexChanged, this, &KeysTab::showScope);
}

void KeysTab::buildKeyList() {
    m_keysCard = new TRCard(tr("Your keys"));
    m_keysCard->setAccessory(new TRPill(tr("Sort: last used"), PillKind::muted, {.mono = true}));
    m_empty = kitLabel(noKeysText(), TextRole::note);
    m_empty->setContentsMargins(0, Spacing::lines, 0, Spacing::lines);
    m_keysCard->body()->addWidget(m_empty);
    m_rows = new TRKeyedList;
    // A keyboard user whose key went, and no key is left, lands on the label field.
    m_rows->setFocusWhenEmpty(m_label);
    m_keysCard->body()->addWidget(m_rows);
    addWidget(m_keysCard);
}

void KeysTab::showScope() {
    const auto choices = scopeChoices();
    const int index = m_scope->currentIndex();
    const QString description = index >= 0 && index < int(choices.size()) ? choices[std::size_t(index)].description
                                                                           : QString();
    m_scopeDescription->setText(description);
    m_scope->setAccessibleDescription(description);
}

void KeysTab::showIssuedKey(const ClientCreatedAPIKey& issued) {
    m_banner->setKey(issued.record.label, issued.key);
    m_banner->setVisible(true);
}

// Rows are the keys' own, found by id: a poll that brings the same keys leaves every row (its focus, its
// hover) in place, and a changed key changes only its row.
void KeysTab::showKeys() {
    const ClientAPIKeyList& keys = m_state->keys();
    // Every poll republishes the list; a thousand rows are gone through only when it changed.
    if (m_shownKeys == keys)
        return;
    m_shownKeys = keys;
    m_keysCard->setSubtitle(keyCountLine(keys));

    QStringList ids;
    ids.reserve(qsizetype(keys.size()));
    for (const ClientAPIKeyPublic& key : keys)
        ids << key.id;
    const auto make = [this, &keys](qsizetype index) {
        const ClientAPIKeyPublic& key = keys[std::size_t(index)];
        auto* row = new KeyListRow(keyRowContent(key));
        const QString id = key.id;
        connect(row, &KeyListRow::revokeRequested, this, [this, id] { startOnKey(KeyChange::revoke, id); });
        connect(row, &KeyListRow::rotateRequested, this, [this, id] { startOnKey(KeyChange::rotate, id); });
        connect(row, &KeyListRow::deleteRequested, this, [this, id] { startOnKey(KeyChange::remove, id); });
        return row;
    };
    const auto update = [&keys](QWidget* row, qsizetype index) {
        static_cast<KeyListRow*>(row)->setContent(keyRowContent(keys[std::size_t(index)]));
    };
    m_rows->setIds(ids, make, update);
    m_empty->setVisible(keys.empty());
    m_rows->setVisible(!keys.empty());
}

// The one error line sits in the create card, whichever row failed: it is brought into view.
void KeysTab::showFailure(const ActionError& error) {
    m_error->setMessage(error.message());
    bringIntoView(m_error);
}

void KeysTab::bringIntoView(QWidget* widget) {
    scrollArea()->widget()->layout()->activate();
    scrollArea()->ensureWidgetVisible(widget, 0, Spacing::section);
}

// A second press while the key is still being made would make another key, whose secret the banner
// would then hide behind the second one's.
void KeysTab::startCreate() {
    if (!m_creating)
        create();
}

void KeysTab::startOnKey(KeyChange change, const QString& id) {
    if (!m_keysInAction.contains(id))
        changeKey(change, id);
}

Flow KeysTab::create() {
    m_creating = true;
    m_error->clearMessage();
    const QString label = m_label->text(); // as typed: the label is the user's, spaces and all
    const std::optional<std::vector<ClientAPIKeyScope>> scopes =
        std::vector{scopeChoices()[std::size_t(std::max(m_scope->currentIndex(), 0))].scope};
    const ActionOutcome<ClientCreatedAPIKey> created = co_await m_state->keyActions().create(label, scopes);
    m_creating = false;
    if (!created) {
        showFailure(created.error());
        co_return;
    }
    const bool focusHere = isAncestorOf(QApplication::focusWidget());
    showIssuedKey(*created);
    m_label->clear();
    m_scope->setCurrentIndex(0);
    if (focusHere) // the next thing to do is to copy it
        m_banner->copyButton()->setFocus(Qt::OtherFocusReason);
}

Flow KeysTab::changeKey(KeyChange change, QString id) {
    m_keysInAction.insert(id);
    m_error->clearMessage();
    const ActionOutcome<KeyChanged> changed = co_await m_state->keyActions().change(change, id);
    m_keysInAction.remove(id);
    if (!changed) {
        showFailure(changed.error());
        co_return;
    }
    if (changed->issued) {
        showIssuedKey(*changed->issued);
        bringIntoView(m_banner); // perhaps far above the row that asked for it
    }
}

} // namespace tavrin
