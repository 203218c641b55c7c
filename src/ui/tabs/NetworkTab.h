#pragma once

#include "protocol/ClientRecords.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TabContent.h"

namespace tavrin {

class KeldmarchSwitch;
class NetMapNode;
class TREndpointList;
class ServerStateModel;
class TRButton;
class TRDisclosure;
class TRTextEditor;
class TRTextField;

// Who can reach the server, and the network preferences that decide it: the LAN switch, bind host
// and port, mDNS name, CORS origins and IP allowlist. Every control edits the tab's copy; "Save
// changes" sends it, and the server applies it at its next start.
class NetworkTab : public TabContent {
    Q_OBJECT
public:
    NetworkTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    RecordEditor<ClientNetworkPreferences>* editor() const { return m_editor; }

private:
    void buildMap();
    void buildExposure();
    void buildAdvanced();
    void buildFooter();
    void fillEditors();
    void showPreferences();
    void showNetworkNode();
    void editPort(const QString& text);
    void save();

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    RecordEditor<ClientNetworkPreferences>* m_editor = nullptr;

    NetMapNode* m_networkNode = nullptr;
    TREndpointList* m_networkAddresses = nullptr;
    KeldmarchSwitch* m_lan = nullptr;
    TRTextField* m_bindHost = nullptr;
    TRTextField* m_port = nullptr;
    TRTextField* m_mdnsName = nullptr;
    TRDisclosure* m_advanced = nullptr;
    TRTextEditor* m_cors = nullptr;
    TRTextEditor* m_allowlist = nullptr;
};

} // namespace tavrin
