#include "ui/tabs/DiagnosticsTab.h"

#include "state/ActionWords.h"
#include "state/ServerStateModel.h"
#include "ui/ConfirmDestructive.h"
#include "ui/desktop/FileManager.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/DiagnosticsTabLogic.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tavrin {

namespace {

std::vector<FileRowText> fileRows(ServerStateModel* state) { return diagnosticsFileRows(state->status()); }

QLabel* paragraph(const QString& text, TextRole role) {
    auto* label = kitLabel(text, role);
    label->setWordWrap(true);
    return label;
}

} // namespace

DiagnosticsTab::DiagnosticsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    buildBundleCard();
    buildPasswordCard();
    buildFilesCard();
    buildRerunCard();
    m_status = new TRMessageLine(MessageKind::success);
    m_error = new TRMessageLine(MessageKind::error);
    addWidget(m_status);
    addWidget(m_error);
    stack()->addStretch();
    connect(m_state, &ServerStateModel::statusChanged, this, &DiagnosticsTab::showFileRows);
}

void DiagnosticsTab::buildBundleCard() {
    auto* card = new TRCard(tr("Generate a support bundle"),
                            tr("Zips the hardware summary, audit metadata and recent log output for the "
                               "support team. Prompt contents are redacted by default."));
    // The choice above the button, not beside it: in a longer language the two no longer fit one line.
    m_includeContents = new TRCheckBox(tr("Include prompt contents"));
    m_includeContents->setNote(tr("(only if Audit logging is on)"));
    card->body()->addWidget(m_includeContents);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* generate = new TRButton(tr("Generate bundle"), KeldmarchButtonStyle{.size = ButtonSize::small});
    row->addWidget(generate);
    card->body()->addLayout(row);
    connect(generate, &QPushButton::clicked, this, [this] { generateBundle(); });
    addWidget(card);
}

void DiagnosticsTab::buildPasswordCard() {
    auto* card = new TRCard(tr("Admin password"),
                            tr("This computer's keyring holds the password the Tavrin app uses to manage its "
                               "own server (start, stop, switch model). It never leaves this machine."));
    card->setAccessory(new TRPill(tr("Saved to keyring"), PillKind::ok, {.mono = true}));

    auto* caption = new TRCaption(tr("SET OR CHANGE PASSWORD"));
    card->body()->addWidget(caption);
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::group);
    m_password = new TRTextField;
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("••••••••••••••••"));
    m_password->setAccessibleName(tr("New admin password"));
    caption->setBuddy(m_password);
    row->addWidget(m_password, 1);
    m_savePassword = new TRButton(tr("Save"), KeldmarchButtonStyle{.size = ButtonSize::small});
    m_savePassword->setEnabled(false);
    row->addWidget(m_savePassword);
    auto* clear = new TRButton(tr("Clear"), GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    row->addWidget(clear);
    card->body()->addLayout(row);
    card->body()->addWidget(paragraph(tr("If you lose it, reset it here. The server keeps running — only "
                                         "the GUI's admin commands need a matching password."),
                                      TextRole::detail));

    connect(m_password, &QLineEdit::textChanged, this,
            [this](const QString& typed) { m_savePassword->setEnabled(!typed.isEmpty()); });
    connect(m_password, &QLineEdit::returnPressed, this, [this] {
        if (m_savePassword->isEnabled())
            savePassword();
    });
    connect(m_savePassword, &QPushButton::clicked, this, [this] { savePassword(); });
    connect(clear, &QPushButton::clicked, this, [this] { clearPassword(); });
    addWidget(card);
}

void DiagnosticsTab::buildFilesCard() {
    auto* card = new TRCard(tr("Files & folders"),
                            tr("Open the directories Tavrin uses for state, logs, and errors."));
    const std::vector<FileRowText> rows = fileRows(m_state);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* row = new QHBoxLayout;
        row->setSpacing(Spacing::beside);
        auto* text = new QVBoxLayout;
        text->setSpacing(Spacing::stacked);
        text->addWidget(kitLabel(rows[i].label, TextRole::body));
        auto* path = new TRElidedText(rows[i].path, TextRole::small);
        path->setAccessibleName(rows[i].label);
        text->addWidget(path);
        m_filePaths.push_back(path);
        row->addLayout(text, 1);
        auto* button = new TRButton(tr("Show in Folder"), GhostButtonStyle{.size = ButtonSize::small});
        button->setSymbol(QStringLiteral("folder"));
        button->setAccessibleName(tr("Show in Folder: %1").arg(rows[i].label));
        row->addWidget(button, 0, Qt::AlignVCenter);
        card->body()->addLayout(row);
        connect(button, &QPushButton::clicked, this, [this, i] { runFileRow(i); });
    }
    addWidget(card);
}

void DiagnosticsTab::buildRerunCard() {
    auto* card = new TRCard(tr("Re-run first-run setup"),
                            tr("Walks through the prerequisite, password, network and install steps of "
                               "setup again — useful to reinstall the login agent or re-test the install "
                               "path. Your keys and logs are not deleted."));
    auto* rerun =
        new TRButton(tr("Re-run setup"), GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    rerun->setSymbol(QStringLiteral("wand.and.stars"));
    card->body()->addWidget(rerun, 0, Qt::AlignLeft);
    connect(rerun, &QPushButton::clicked, this, &DiagnosticsTab::confirmRerun);
    addWidget(card);
}

// The poll republishes the status every few seconds; a path is only set anew when it changed.
void DiagnosticsTab::showFileRows() {
    const std::vector<FileRowText> rows = fileRows(m_state);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (m_filePaths[i]->text() != rows[i].path)
            m_filePaths[i]->setText(rows[i].path);
}

// What the row shows now decides what its button does.
void DiagnosticsTab::runFileRow(std::size_t row) {
    const FileRowText file = fileRows(m_state).at(row);
    if (!file.target)
        return;
    if (file.action == FileRowText::Action::reveal)
        revealInFileManager(*file.target);
    else
        openInDefaultApplication(*file.target);
}

// Back to the wizard the way the tray's "Re-run setup…" goes: the window follows the flag, and this
// tab goes with the rest of the main window.
void DiagnosticsTab::confirmRerun() {
    if (m_confirmation)
        return;
    m_confirmation = confirmDestructive(
        this, tr("Re-run first-run setup?"),
        tr("This relaunches the setup wizard. Your existing keys and the server's state are preserved."),
        tr("Re-run setup"), [this] { m_state->setHasCompletedFirstRun(false); });
}

// The checkbox only asks: whether prompt text goes in is the server's call, by its audit settings.
Flow DiagnosticsTab::generateBundle() {
    m_status->clearMessage();
    m_error->clearMessage();
    const bool includeContents = m_includeContents->isChecked();
    const ActionOutcome<ClientDiagnosticsResponse> made =
        co_await m_state->diagnosticsActions().supportBundle(includeContents);
    if (!made) {
        m_error->setMessage(made.error().message());
        co_return;
    }
    m_status->setMessage(made->message);
    revealInFileManager(made->bundlePath);
}

// Exactly as typed: the server and the panel trim a password alike, so nothing is lost by keeping it.
// Neither line is cleared first: an earlier error stays until the next bundle request.
Flow DiagnosticsTab::savePassword() {
    const QString typed = m_password->text();
    const ActionResult saved = co_await m_state->diagnosticsActions().savePassword(typed);
    if (!saved) {
        m_error->setMessage(saved.error().message());
        co_return;
    }
    m_password->clear();
    m_status->setMessage(settingsSavedMessage());
}

Flow DiagnosticsTab::clearPassword() {
    co_await m_state->diagnosticsActions().clearPassword();
    m_password->clear();
}

} // namespace tavrin
