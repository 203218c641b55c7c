#include "ui/wizard/WizardDone.h"

#include "state/ServerStateModel.h"
#include "ui/ServerFigures.h"
#include "ui/kit/EndpointBox.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCodeBlock.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRProgress.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

namespace tavrin {

namespace {

// A caption and what it heads, as one block.
QVBoxLayout* section(const QString& caption) {
    auto* column = new QVBoxLayout;
    column->setSpacing(Spacing::group);
    column->addWidget(new TRCaption(caption));
    return column;
}

} // namespace

WizardDone::WizardDone(ServerStateModel* state, std::function<void()> finish, std::function<void()> back,
                       QWidget* parent)
    : WizardStepView(parent), m_state(state), m_setup(&state->setup()) {
    addGreeting(tr("all set."), {tr("YOUR SERVER IS"), tr("LIVE.")},
                tr("Your endpoint and your first API key are below. Run the curl command to make sure "
                   "everything talks to everything."));

    QVBoxLayout* endpoints = section(tr("Your endpoint"));
    m_localhost = new EndpointBox(tr("Localhost"), {}, {.copyName = copyLocalhostEndpointName()});
    m_lan = new EndpointBox(tr("LAN"), {}, {.copyName = copyLanEndpointName()});
    endpoints->addWidget(m_localhost);
    endpoints->addWidget(m_lan);
    addLayout(endpoints);

    QVBoxLayout* key = section(tr("First API key"));
    m_beforeKey = new QWidget;
    auto* before = new QVBoxLayout(m_beforeKey);
    before->setContentsMargins(0, 0, 0, 0);
    before->setSpacing(Spacing::group);
    QLabel* promise = kitLabel(tr("We'll create a key labeled \"First key\" for you. You can rename or "
                                  "create more from the API Keys tab."),
                               TextRole::secondary);
    promise->setWordWrap(true);
    before->addWidget(promise);
    m_error = new TRMessageLine(MessageKind::error);
    before->addWidget(m_error);
    m_progress = new TRProgress(tr("Creating…"));
    before->addWidget(m_progress);
    m_create = new TRButton(tr("Create first key"), GhostButtonStyle{});
    before->addWidget(m_create, 0, Qt::AlignLeft);
    connect(m_create, &QPushButton::clicked, this, [this] { createFirstKey(); });
    key->addWidget(m_beforeKey);

    m_keyBlock = new QWidget;
    auto* shown = new QVBoxLayout(m_keyBlock);
    shown->setContentsMargins(0, 0, 0, 0);
    shown->setSpacing(Spacing::grid);
    shown->addWidget(new TRBanner(BannerKind::warn, QStringLiteral("exclamationmark.triangle.fill"),
                                  tr("SAVE THIS KEY NOW · IT WON'T BE SHOWN AGAIN")));
    auto* secret = new QHBoxLayout;
    secret->setSpacing(Spacing::group);
    // The key as the API Keys tab hands one over: on a well, read, selected and copied whole.
    m_keyView = new TRElidedText({}, TextRole::monoValue);
    m_keyView->setWell(true);
    m_keyView->setAccessibleName(tr("First API key"));
    secret->addWidget(m_keyView, 1, Qt::AlignVCenter);
    m_copyKey = new TRButton(tr("Copy"), GhostButtonStyle{.size = ButtonSize::small});
    m_copyKey->setSymbol(QStringLiteral("doc.on.doc"));
    m_copyKey->setAccessibleName(tr("Copy first API key"));
    secret->addWidget(m_copyKey, 0, Qt::AlignVCenter);
    shown->addLayout(secret);
    connect(m_copyKey, &QPushButton::clicked, m_keyView, &TRElidedText::copy);
    shown->addSpacing(Spacing::lines);
    shown->addWidget(new TRCaption(tr("SMOKE TEST")));
    shown->addWidget(kitLabel(tr("Paste this into a terminal to verify"), TextRole::secondary));
    m_command = new TRCodeBlock({}, tr("Copy test command"));
    shown->addWidget(m_command);
    key->addWidget(m_keyBlock);
    addLayout(key);

    QHBoxLayout* footer = addFooterRow();
    footer->addWidget(kitLabel(tr("Need to start over?"), TextRole::small), 0, Qt::AlignVCenter);
    auto* rerun = new TRButton(tr("Re-run setup"), GhostButtonStyle{.size = ButtonSize::small});
    connect(rerun, &QPushButton::clicked, this, back);
    footer->addWidget(rerun, 0, Qt::AlignVCenter);
    footer->addStretch(1);
    auto* open = new TRButton(tr("Open Tavrin Keldmarch →"), KeldmarchButtonStyle{.size = ButtonSize::large});
    connect(open, &QPushButton::clicked, this, finish);
    footer->addWidget(open);
    setForward(open);

    connect(m_state, &ServerStateModel::statusChanged, this, &WizardDone::showEndpoints);
    showEndpoints();
    showKey();
    createFirstKey();
}

void WizardDone::showEndpoints() {
    const DoneEndpoints endpoints = doneEndpoints(m_state->status(), QSysInfo::machineHostName());
    m_localhost->setUrl(endpoints.localhost);
    m_lan->setVisible(endpoints.lan.has_value());
    if (endpoints.lan)
        m_lan->setUrl(*endpoints.lan);
    if (m_firstKey)
        m_command->setText(smokeTestCommand(endpoints.localhost, m_firstKey->key));
}

void WizardDone::showKey() {
    m_beforeKey->setVisible(!m_firstKey);
    m_keyBlock->setVisible(m_firstKey.has_value());
    m_error->setMessage(m_keyError);
    m_progress->setVisible(m_creating);
    m_create->setVisible(!m_creating);
    if (!m_firstKey)
        return;
    m_keyView->setText(m_firstKey->key);
    showEndpoints();
}

Flow WizardDone::createFirstKey() {
    if (m_firstKey || m_creating)
        co_return;
    m_creating = true;
    m_keyError.clear();
    showKey();
    auto created = co_await m_setup->createFirstKey();
    m_creating = false;
    if (created) {
        // From "Create first key", which goes away now, the keyboard lands on the key's Copy.
        const bool fromRetry = m_create->hasFocus();
        m_firstKey = std::move(*created);
        showKey();
        if (fromRetry)
            m_copyKey->setFocus(Qt::OtherFocusReason);
    } else {
        m_keyError = created.error().message();
        showKey();
    }
}

} // namespace tavrin
