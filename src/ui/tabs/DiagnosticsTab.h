#pragma once

#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/kit/TabContent.h"

#include <QMessageBox>
#include <QPointer>

#include <vector>

namespace tavrin {

class ServerStateModel;
class TRButton;
class TRCheckBox;
class TRElidedText;
class TRMessageLine;
class TRTextField;

// The tools for when something is wrong: a support bundle from the server, the admin password the
// panel presents, the state folder and the server's logs, and the way back into first-run setup.
class DiagnosticsTab : public TabContent {
    Q_OBJECT
public:
    DiagnosticsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    QMessageBox* rerunConfirmation() const { return m_confirmation; }

private:
    void buildBundleCard();
    void buildPasswordCard();
    void buildFilesCard();
    void buildRerunCard();
    void showFileRows();
    void runFileRow(std::size_t row);
    void confirmRerun();
    Flow generateBundle();
    Flow savePassword();
    Flow clearPassword();

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    TRCheckBox* m_includeContents = nullptr;
    TRTextField* m_password = nullptr;
    TRButton* m_savePassword = nullptr;
    std::vector<TRElidedText*> m_filePaths;
    TRMessageLine* m_status = nullptr;
    TRMessageLine* m_error = nullptr;
    QPointer<QMessageBox> m_confirmation;
};

} // namespace tavrin
