#pragma once

#include "protocol/ClientRecords.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TabContent.h"

class QLabel;

namespace tavrin {

class ServerStateModel;
class TRButton;
class TRCard;
class TRTextEditor;

// The instruction the server puts before every conversation it answers. The stored text and the
// server's limit load when the tab first comes on screen; the text is edited here and sent on "Save
// preamble" (trimmed), or cleared. While the server does not answer, the editor steps aside for a
// card that says so, and comes back with whatever had been typed.
class OrgPreambleTab : public TabContent {
    Q_OBJECT
public:
    OrgPreambleTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    RecordEditor<ClientOrgPreambleResponse>* editor() const { return m_editor; }

private:
    void buildEditorCard();
    void followStatus();
    void showStored();
    void textEdited();
    void showCounter();
    Flow save();
    void clear();

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    TRCard* m_unreachable = nullptr;
    RecordEditor<ClientOrgPreambleResponse>* m_editor = nullptr;
    TRTextEditor* m_text = nullptr;
    QLabel* m_counter = nullptr;
    TRButton* m_clear = nullptr;
    TRButton* m_save = nullptr;
    bool m_saving = false;
    bool m_showingStored = false; // the text changes because the server's answer arrived, not by an edit
};

} // namespace tavrin
