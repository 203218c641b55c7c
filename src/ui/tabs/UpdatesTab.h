#pragma once

#include "protocol/ClientRecords.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TabContent.h"

#include <vector>

class QLabel;

namespace tavrin {

class KVRow;
class ServerStateModel;
class TRButton;
class TRCard;
class TRValueLabel;

// The server's own updater: the installed version and channel, when it last looked, a release it
// found, and the package it downloaded and verified. The tab asks the server to check, to download
// and verify, and to delete the download, and reveals the package for the desktop's installer.
// Nothing is verified or installed here: the server verifies, the user installs.
class UpdatesTab : public TabContent {
    Q_OBJECT
public:
    UpdatesTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    RecordEditor<ClientUpdaterStatus>* editor() const { return m_editor; }

private:
    void buildAvailable();
    void buildUpToDate();
    void buildInstalled();
    TRButton* checkButton();
    void showUpdater();
    void showRelease(const ClientUpdaterStatus& updater, const ClientAppcastRelease& release);
    void showBusy();

    Flow check();
    Flow download();
    Flow deleteDownload();

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    RecordEditor<ClientUpdaterStatus>* m_editor = nullptr;
    bool m_checking = false;
    bool m_downloading = false;

    QWidget* m_available = nullptr;
    TRValueLabel* m_releaseVersion = nullptr;
    QLabel* m_released = nullptr;
    TRButton* m_download = nullptr;
    TRCard* m_releaseCard = nullptr;
    TRValueLabel* m_notes = nullptr;
    KVRow* m_pkgUrl = nullptr;
    KVRow* m_sha256 = nullptr;
    QWidget* m_packageButtons = nullptr;

    QWidget* m_upToDate = nullptr;
    TRValueLabel* m_upToDateVersion = nullptr;
    QLabel* m_upToDateLine = nullptr;

    TRValueLabel* m_installedVersion = nullptr;
    TRValueLabel* m_channel = nullptr;
    TRValueLabel* m_lastChecked = nullptr;
    TRValueLabel* m_updaterError = nullptr;
    std::vector<TRButton*> m_checkButtons;
};

} // namespace tavrin
