#include "ui/tabs/UpdatesTab.h"

#include "state/ServerStateModel.h"
#include "ui/desktop/FileManager.h"
#include "ui/kit/HeroCard.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TREyebrow.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/UpdatesTabLogic.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

namespace {

constexpr int kVerificationLabelWidth = 130;

QVBoxLayout* stackIn(QWidget* widget, int spacing) {
    auto* stack = new QVBoxLayout(widget);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    return stack;
}

} // namespace

UpdatesTab::UpdatesTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    UpdateActions* updates = &state->updateActions();
    m_editor = new RecordEditor<ClientUpdaterStatus>(state, m_flows, [updates] { return updates->updater(); });
    addWidget(m_editor);
    buildAvailable();
    buildUpToDate();
    buildInstalled();
    m_editor->body()->addWidget(m_editor->statusLine());
    m_editor->body()->addWidget(m_editor->errorLine());
    stack()->addStretch(1);
    connect(m_editor, &RecordEditorBase::recordReplaced, this, &UpdatesTab::showUpdater);
}

void UpdatesTab::buildAvailable() {
    m_available = new QWidget;
    QVBoxLayout* section = stackIn(m_available, Spacing::section);

    auto* hero = new HeroCard;
    hero->body()->setSpacing(Spacing::lines);
    hero->body()->addWidget(new TREyebrow(tr("UPDATE AVAILABLE"), false));
    m_releaseVersion = new TRValueLabel({}, TextRole::release);
    hero->body()->addWidget(m_releaseVersion);
    m_released = kitLabel({}, TextRole::bodyMedium);
    m_released->setWordWrap(true);
    hero->body()->addWidget(m_released);
    m_download = new TRButton(tr("Download & verify"), KeldmarchButtonStyle{ButtonSize::large});
    m_download->setSymbol(QStringLiteral("arrow.down.circle"));
    hero->body()->addWidget(m_download, 0, Qt::AlignLeft);
    connect(m_download, &QPushButton::clicked, this, [this] { download(); });
    section->addWidget(hero);

    m_releaseCard = new TRCard({}, tr("Each release ships with an ed25519 signature; the server refuses to "
                                      "stage anything that doesn't verify."));
    m_notes = new TRValueLabel({}, TextRole::body);
    m_notes->setWordWrap(true);
    m_releaseCard->body()->addWidget(m_notes);

    auto* verification = new TRDisclosure(tr("Verification details"));
    const KVRowOptions copyable{.monospaced = true, .copyable = true, .labelWidth = kVerificationLabelWidth};
    m_pkgUrl = new KVRow(tr("pkg URL"), {}, copyable);
    m_sha256 = new KVRow(tr("SHA-256"), {}, copyable);
    verification->body()->addWidget(m_pkgUrl);
    verification->body()->addWidget(m_sha256);
    verification->body()->addWidget(new KVRow(tr("Signature"),
                                              tr("ed25519 · verified against pinned public key"),
                                              {.monospaced = true, .labelWidth = kVerificationLabelWidth}));
    m_releaseCard->body()->addWidget(verification);

    m_packageButtons = new QWidget;
    auto* buttons = new QHBoxLayout(m_packageButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(Spacing::group);
    auto* reveal = new TRButton(tr("Show in Folder"), GhostButtonStyle{.size = ButtonSize::small});
    auto* remove =
        new TRButton(tr("Delete download"), GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    buttons->addWidget(reveal);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    m_releaseCard->body()->addWidget(m_packageButtons);
    // Only revealed: the package installer is the user's to start, with its own privileges.
    connect(reveal, &QPushButton::clicked, this, [this] {
        if (const auto* updater = m_editor->copy(); updater && updater->stagedDownloadPath)
            revealInFileManager(*updater->stagedDownloadPath);
    });
    connect(remove, &QPushButton::clicked, this, [this] { deleteDownload(); });

    m_releaseCard->body()->addWidget(new TRBanner(
        BannerKind::info, QStringLiteral("info.circle"), tr("The installer runs separately"),
        tr("Installing stays with your system's package installer, which asks for your password. After "
           "download we show the package in its folder — open it to install.")));
    section->addWidget(m_releaseCard);
    m_editor->body()->addWidget(m_available);
}

void UpdatesTab::buildUpToDate() {
    auto* hero = new HeroCard;
    m_upToDate = hero;
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::beside);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::lines);
    texts->addWidget(new TREyebrow(tr("UP TO DATE"), false));
    m_upToDateVersion = new TRValueLabel({}, TextRole::version);
    texts->addWidget(m_upToDateVersion);
    m_upToDateLine = kitLabel({}, TextRole::small);
    m_upToDateLine->setWordWrap(true);
    texts->addWidget(m_upToDateLine);
    texts->addWidget(checkButton(), 0, Qt::AlignLeft);
    row->addLayout(texts, 1);
    hero->body()->addLayout(row);
    m_editor->body()->addWidget(hero);
}

void UpdatesTab::buildInstalled() {
    auto* card = new TRCard(tr("Currently installed"));
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::columns);
    m_installedVersion = new TRValueLabel({}, TextRole::bodyMedium);
    m_channel = new TRValueLabel({}, TextRole::bodyMedium);
    m_lastChecked = new TRValueLabel({}, TextRole::bodyMedium);
    row->addLayout(labelled(tr("VERSION"), m_installedVersion));
    row->addLayout(labelled(tr("CHANNEL"), m_channel));
    row->addLayout(labelled(tr("LAST CHECKED"), m_lastChecked));
    row->addStretch(1);
    row->addWidget(checkButton(), 0, Qt::AlignVCenter);
    card->body()->addLayout(row);
    m_updaterError = new TRValueLabel({}, TextRole::monoMessage);
    setLabelColor(m_updaterError, Theme::dangerRed());
    m_updaterError->setWordWrap(true);
    card->body()->addWidget(m_updaterError);
    m_editor->body()->addWidget(card);
}

// The hero and the installed card each hold one; both show the one check.
TRButton* UpdatesTab::checkButton() {
    auto* button = new TRButton(checkButtonText(false), GhostButtonStyle{.size = ButtonSize::small});
    button->setSymbol(QStringLiteral("arrow.triangle.2.circlepath"));
    connect(button, &QPushButton::clicked, this, [this] { check(); });
    m_checkButtons.push_back(button);
    return button;
}

void UpdatesTab::showUpdater() {
    const ClientUpdaterStatus& updater = *m_editor->copy();
    m_available->setVisible(bool(updater.availableUpdate));
    m_upToDate->setVisible(!updater.availableUpdate);
    if (updater.availableUpdate)
        showRelease(updater, *updater.availableUpdate);
    m_upToDateVersion->setText(versionText(updater.current));
    m_upToDateLine->setText(upToDateLine(updater));

    m_installedVersion->setText(versionText(updater.current));
    m_channel->setText(channelTitle(updater.channel));
    m_lastChecked->setText(lastCheckedText(updater));
    m_updaterError->setText(shownMessage(updater.lastError.value_or(QString())));
    m_updaterError->setVisible(bool(updater.lastError));
}

void UpdatesTab::showRelease(const ClientUpdaterStatus& updater, const ClientAppcastRelease& release) {
    m_releaseVersion->setText(release.version);
    m_released->setText(releasedLine(release, updater.channel));
    m_releaseCard->setTitle(releaseCardTitle(release));
    m_notes->setText(releaseNotesText(release));
    m_pkgUrl->setValue(release.pkgURL);
    m_sha256->setValue(release.pkgSha256);
    m_packageButtons->setVisible(bool(updater.stagedDownloadPath));
}

void UpdatesTab::showBusy() {
    m_download->setEnabled(!m_downloading);
    for (TRButton* button : m_checkButtons) {
        button->setText(checkButtonText(m_checking));
        button->setEnabled(!m_checking);
    }
}

Flow UpdatesTab::check() {
    m_checking = true;
    showBusy();
    m_editor->clearMessages();
    const auto checked = co_await m_state->updateActions().check();
    m_checking = false;
    showBusy();
    if (!checked) {
        m_editor->showError(checked.error().message());
        co_return;
    }
    // A check that failed on the server's side still brings the updater's state.
    m_editor->replace(checked->status);
    const CheckOutcome outcome = checkOutcome(*checked);
    m_editor->showStatus(outcome.message);
    m_editor->showError(outcome.error);
}

Flow UpdatesTab::download() {
    m_downloading = true;
    showBusy();
    m_editor->clearMessages();
    const auto downloaded = co_await m_state->updateActions().download();
    if (downloaded) {
        m_editor->showStatus(downloaded->message);
        if (downloaded->after)
            m_editor->replace(*downloaded->after);
        else
            m_editor->showError(downloaded->after.error().message());
    } else {
        m_editor->showError(downloaded.error().message());
    }
    m_downloading = false;
    showBusy();
}

// The lines are left as they are: deleting says nothing of its own unless it fails.
Flow UpdatesTab::deleteDownload() {
    const auto after = co_await m_state->updateActions().deleteDownload();
    if (after)
        m_editor->replace(*after);
    else
        m_editor->showError(after.error().message());
}

} // namespace tavrin
