#pragma once

#include "ui/wizard/WizardStepView.h"

namespace tavrin {

class ServerStateModel;
class SetupActions;
class TRButton;
class TRDisclosure;
class TRElidedText;
class TRIconButton;
class TRMessageLine;
class TRTextField;

// Step 3: the admin password. The keychain's, when it holds one; otherwise a new one, put on the
// clipboard at once. Or the user's own, under the password rule.
class WizardAdminSecret : public WizardStepView {
    Q_OBJECT
public:
    WizardAdminSecret(ServerStateModel* state, std::function<void()> advance, std::function<void()> back,
                      QWidget* parent = nullptr);

    QString secret() const { return m_secret; }
    bool copied() const { return m_copied; }
    TRDisclosure* ownPasswordDisclosure() const { return m_custom; }
    TRTextField* passwordField() const { return m_password; }
    TRTextField* confirmField() const { return m_confirm; }

private:
    void setSecret(const QString& secret);
    void setCopied(bool copied);
    OwnPassword ownPassword() const;
    void showRules();

    Flow loadOrGenerate();
    Flow save();

    SetupActions* m_setup;
    std::function<void()> m_advance;
    QString m_secret;
    bool m_copied = false;
    bool m_saving = false;

    TRElidedText* m_secretView = nullptr;
    TRButton* m_copy = nullptr;
    TRMessageLine* m_error = nullptr;
    TRDisclosure* m_custom = nullptr;
    TRTextField* m_password = nullptr;
    TRTextField* m_confirm = nullptr;
    TRMessageLine* m_mismatch = nullptr;
    TRButton* m_save = nullptr;
};

} // namespace tavrin
