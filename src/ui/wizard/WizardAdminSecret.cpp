#include "ui/wizard/WizardAdminSecret.h"

#include "state/ServerStateModel.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

namespace {

TRTextField* secureField(const QString& name) {
    auto* field = new TRTextField(true);
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(QStringLiteral("••••••••••••••••"));
    field->setAccessibleName(name);
    return field;
}

} // namespace

WizardAdminSecret::WizardAdminSecret(ServerStateModel* state, std::function<void()> advance,
                                     std::function<void()> back, QWidget* parent)
    : WizardStepView(parent), m_setup(&state->setup()), m_advance(std::move(advance)) {
    addStepHeader(WizardStep::adminSecret, tr("An admin password, just for this computer."),
                  tr("This is the password the Tavrin app uses to manage its own server — starting, "
                     "stopping, switching models. It stays in this computer's keyring. It is never sent over "
                     "the network."));

    auto* card = new TRCard(tr("Generated for you"));
    auto* row = new QHBoxLayout;
    row->setSpacing(Spacing::group);
    m_secretView = new TRElidedText({}, TextRole::monoValue);
    m_secretView->setAccessibleName(tr("Admin password"));
    row->addWidget(m_secretView, 1, Qt::AlignVCenter);
    m_copy = new TRButton({}, GhostButtonStyle{.size = ButtonSize::small});
    row->addWidget(m_copy, 0, Qt::AlignVCenter);
    auto* regenerate =
        new TRIconButton(QStringLiteral("arrow.triangle.2.circlepath"), tr("Generate a new password"));
    row->addWidget(regenerate, 0, Qt::AlignVCenter);
    card->body()->addLayout(row);
    QLabel* caption = kitLabel(generatedPasswordCaption(), TextRole::detail);
    caption->setWordWrap(true);
    card->body()->addWidget(caption);
    addWidget(card);
    connect(m_copy, &QPushButton::clicked, this, [this] {
        copySecretText(m_secret);
        setCopied(true);
    });
    connect(regenerate, &QAbstractButton::clicked, this, [this] { setSecret(m_setup->generatePassword()); });

    m_error = new TRMessageLine(MessageKind::error);
    addWidget(m_error);

    m_custom = new TRDisclosure(tr("Use my own password instead"));
    m_password = secureField(tr("Password (16+ characters)"));
    m_confirm = secureField(tr("Confirm password"));
    m_custom->body()->setSpacing(Spacing::caption);
    m_custom->body()->addWidget(new TRCaption(tr("PASSWORD (16+ CHARACTERS)")));
    m_custom->body()->addWidget(m_password);
    m_custom->body()->addSpacing(Spacing::group);
    m_custom->body()->addWidget(new TRCaption(tr("CONFIRM")));
    m_custom->body()->addWidget(m_confirm);
    m_mismatch = new TRMessageLine(MessageKind::error);
    m_custom->body()->addSpacing(Spacing::caption);
    m_custom->body()->addWidget(m_mismatch);
    addWidget(m_custom);
    connect(m_custom, &TRDisclosure::expandedChanged, this, [this](bool expanded) {
        showRules();
        if (expanded)
            m_password->setFocus(Qt::OtherFocusReason);
    });
    for (TRTextField* field : {m_password, m_confirm})
        connect(field, &QLineEdit::textChanged, this, &WizardAdminSecret::showRules);

    QLabel* note = kitLabel(tr("Save this to your password manager before you continue. You can reset it "
                               "any time from Diagnostics."),
                            TextRole::secondary);
    note->setWordWrap(true);
    addWidget(note);

    m_save = new TRButton(tr("Save & continue →"), KeldmarchButtonStyle{});
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    addFooter(back, m_save);

    setCopied(false);
    showRules();
    loadOrGenerate();
}

void WizardAdminSecret::setSecret(const QString& secret) {
    m_secret = secret;
    m_secretView->setText(secret);
    showRules();
}

void WizardAdminSecret::setCopied(bool copied) {
    m_copied = copied;
    const CopyFace face = copyPasswordFace(copied);
    m_copy->setText(face.label);
    m_copy->setSymbol(face.symbol);
    m_copy->setAccessibleName(copied ? tr("Admin password copied") : tr("Copy admin password"));
}

OwnPassword WizardAdminSecret::ownPassword() const {
    return {m_custom->isExpanded(), m_password->text(), m_confirm->text()};
}

void WizardAdminSecret::showRules() {
    const OwnPassword own = ownPassword();
    m_mismatch->setMessage(passwordsMismatchShown(own) ? tr("Passwords don't match.") : QString());
    m_save->setEnabled(adminSecretCanSave(m_secret, own));
}

Flow WizardAdminSecret::loadOrGenerate() {
    // A password saved before is shown as it is, and not copied again: it is already where the user keeps it.
    const std::optional<QString> stored = co_await m_setup->storedPassword();
    if (stored && !stored->isEmpty()) {
        setSecret(*stored);
        co_return;
    }
    setSecret(m_setup->generatePassword());
    copySecretText(m_secret);
    setCopied(true);
}

Flow WizardAdminSecret::save() {
    if (m_saving) // a keychain that prompts can take a while; a second press must not save twice
        co_return;
    m_saving = true;
    m_error->clearMessage();
    const QString chosen = passwordToSave(m_secret, ownPassword());
    const ActionResult saved = co_await m_setup->savePassword(chosen);
    m_saving = false;
    if (!saved) {
        m_error->setMessage(saved.error().message());
        co_return;
    }
    m_advance();
}

} // namespace tavrin
