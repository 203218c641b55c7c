#pragma once

#include "protocol/ClientRecords.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TabContent.h"
#include "ui/tabs/LogsTabLogic.h"

#include <QPointer>

#include <vector>

class QLabel;

namespace tavrin {

class ExportDownload;
class KeldmarchSwitch;
class ModeCard;
class ServerStateModel;
class TRBanner;
class TRCheckBox;
class TRSegmentedPicker;

// What the server records about the requests it serves, how long it keeps it, whether diagnostics
// may carry prompt text, and the exports of what it has recorded. The settings are edited in the
// tab's copy and sent on Save; the exports stream to a file the user names.
class LogsTab : public TabContent {
    Q_OBJECT
public:
    LogsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    RecordEditor<ClientAuditLoggingSettings>* editor() const { return m_editor; }

private:
    void buildModes();
    void buildDiagnostics();
    void buildExport();
    void showSettings();
    void chooseMode(ClientAuditMode mode);
    void followDownload(ExportDownload* download);
    Flow exportLog(ExportChoice choice);

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    RecordEditor<ClientAuditLoggingSettings>* m_editor = nullptr;

    std::vector<ModeCard*> m_modeCards;
    TRSegmentedPicker* m_retention = nullptr;
    TRBanner* m_auditWarning = nullptr;
    KeldmarchSwitch* m_diagnosticsSwitch = nullptr;
    TRCheckBox* m_includeContents = nullptr;
    QLabel* m_progress = nullptr;
    QPointer<ExportDownload> m_shownDownload;
};

} // namespace tavrin
