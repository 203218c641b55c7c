#include "ui/tabs/LogsTab.h"

#include "state/ExportDownload.h"
#include "state/ServerStateModel.h"
#include "ui/desktop/SaveDialog.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRHairline.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

LogsTab::LogsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    SettingsActions* settings = &state->settingsActions();
    m_editor = new RecordEditor<ClientAuditLoggingSettings>(
        state, m_flows, [settings] { return settings->loggingSettings(); },
        [settings](ClientAuditLoggingSettings sent) { return settings->saveLoggingSettings(std::move(sent)); });
    addWidget(m_editor);
    buildModes();
    buildDiagnostics();
    buildExport();
    connect(m_editor, &RecordEditorBase::recordReplaced, this, &LogsTab::showSettings);
}

void LogsTab::buildModes() {
    auto* card = new TRCard(tr("Logging mode"),
                            tr("Pick what you want recorded. Each mode is more permissive than the one to "
                               "its left."));
    auto* modes = new QHBoxLayout;
    modes->setSpacing(Spacing::grid);
    for (const ModeCardText& text : modeCards(ClientAuditMode::none)) {
        auto* mode = new ModeCard(text.label, text.title, text.description, text.on);
        connect(mode, &QAbstractButton::clicked, this, [this, m = text.mode] { chooseMode(m); });
        modes->addWidget(mode, 1);
        m_modeCards.push_back(mode);
    }
    card->body()->addLayout(modes);
    card->body()->addWidget(new TRHairline(Qt::Horizontal));

    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::beside);
    auto* keep = new QVBoxLayout;
    keep->setSpacing(Spacing::caption);
    keep->addWidget(new TRCaption(tr("KEEP RECORDS FOR")));
    m_retention = new TRSegmentedPicker(tr("Retention"), retentionLabels());
    m_retention->setTitleHidden(true);
    keep->addWidget(m_retention, 0, Qt::AlignLeft);
    row->addLayout(keep);
    row->addStretch(1);
    auto* save = new TRButton(tr("Save"), KeldmarchButtonStyle{});
    row->addWidget(save, 0, Qt::AlignBottom);
    card->body()->addLayout(row);
    connect(m_retention, &TRSegmentedPicker::activated, this, [this](int index) {
        if (auto* settings = m_editor->copy())
            settings->retentionDays = retentionDays(index);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (const auto* settings = m_editor->copy())
            m_editor->save(*settings, settingsSavedMessage());
    });

    m_auditWarning = new TRBanner(BannerKind::warn, QStringLiteral("exclamationmark.triangle.fill"),
                                  tr("Audit mode stores prompt and response text."),
                                  tr("Make sure your retention settings comply with your organization's "
                                     "data handling policy."));
    m_auditWarning->hide();
    card->body()->addWidget(m_auditWarning);
    card->body()->addWidget(m_editor->statusLine());
    card->body()->addWidget(m_editor->errorLine());
    m_editor->body()->addWidget(card);
}

void LogsTab::buildDiagnostics() {
    const QString title = tr("Include prompt contents in diagnostic exports");
    auto* card = new TRCard(title, tr("Even in Audit mode, exports redact prompt text unless this master "
                                      "switch is on. Required for some support bundles."));
    m_diagnosticsSwitch = new KeldmarchSwitch(title);
    m_diagnosticsSwitch->setLabelHidden(true);
    card->setAccessory(m_diagnosticsSwitch);
    connect(m_diagnosticsSwitch, &QAbstractButton::clicked, this, [this](bool on) {
        if (auto* settings = m_editor->copy())
            settings->includePromptContentsInDiagnostics = on;
    });
    m_editor->body()->addWidget(card);
}

void LogsTab::buildExport() {
    auto* card = new TRCard(tr("Export"), tr("Save what's been logged to disk. CSV is request "
                                             "metadata. JSONL contains full audit detail."));
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::group);
    const auto exportButton = [&](const QString& text) {
        auto* button = new TRButton(text, GhostButtonStyle{.size = ButtonSize::small});
        button->setSymbol(QStringLiteral("square.and.arrow.down"));
        row->addWidget(button);
        return button;
    };
    TRButton* csv = exportButton(tr("Save usage CSV"));
    TRButton* jsonl = exportButton(tr("Save audit JSONL"));
    m_includeContents = new TRCheckBox(tr("Include prompt contents"));
    row->addSpacing(Spacing::lines);
    row->addWidget(m_includeContents);
    row->addStretch(1);
    card->body()->addLayout(row);
    connect(csv, &QPushButton::clicked, this, [this] { exportLog(usageExport()); });
    connect(jsonl, &QPushButton::clicked, this, [this] { exportLog(auditExport(m_includeContents->isChecked())); });

    m_progress = kitLabel({}, TextRole::secondary);
    m_progress->hide();
    card->body()->addWidget(m_progress);
    auto* note = kitLabel(tr("Privacy-mode exports never contain prompt text. JSONL respects the "
                             "include-contents toggle only when the master switch above is on."),
                          TextRole::detail);
    note->setWordWrap(true);
    card->body()->addWidget(note);
    m_editor->body()->addWidget(card);
}

void LogsTab::showSettings() {
    const auto* settings = m_editor->copy();
    const std::vector<ModeCardText> cards = modeCards(settings->mode);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        m_modeCards[i]->setLabel(cards[i].label);
        m_modeCards[i]->setOn(cards[i].on);
    }
    m_auditWarning->setVisible(settings->mode == ClientAuditMode::audit);
    m_retention->setCurrentIndex(retentionIndex(settings->retentionDays));
    m_diagnosticsSwitch->setChecked(settings->includePromptContentsInDiagnostics);
}

void LogsTab::chooseMode(ClientAuditMode mode) {
    auto* settings = m_editor->copy();
    if (!settings)
        return;
    settings->mode = mode;
    showSettings();
}

// The line follows the export that last reported; it goes when that one is over.
void LogsTab::followDownload(ExportDownload* download) {
    connect(download, &ExportDownload::progress, this, [this, download](qint64 bytes) {
        m_shownDownload = download;
        m_progress->setText(exportProgressText(bytes));
        m_progress->show();
    });
    const auto over = [this, download] {
        if (!m_shownDownload || m_shownDownload == download)
            m_progress->hide();
    };
    connect(download, &ExportDownload::finished, this, over);
    connect(download, &QObject::destroyed, this, over);
}

// The server's answer comes first, so that a failing server is told before any dialog opens; the
// body streams on into a hidden file beside the proposed name while the user chooses, and is renamed
// into place once both are done.
Flow LogsTab::exportLog(ExportChoice choice) {
    const QString folder = proposedSaveFolder();
    const std::shared_ptr<ExportDownload> download =
        m_state->settingsActions().startAuditExport(choice.request, folder, choice.fileName);
    followDownload(download.get());
    const auto answered = co_await download->answered();
    if (!answered) {
        m_editor->showError(answered.error().message());
        co_return;
    }
    const SaveFileProposal proposal{folder, choice.fileName, choice.filter};
    const std::optional<QString> chosen = co_await chooseSaveFile(this, proposal);
    if (!chosen) {
        download->cancel();
        co_return;
    }
    const auto saved = co_await download->saveAs(*chosen);
    if (!saved) {
        m_editor->showError(saved.error().message());
        co_return;
    }
    m_editor->showStatus(exportSavedMessage(*chosen));
}

} // namespace tavrin
