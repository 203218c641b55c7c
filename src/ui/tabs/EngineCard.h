#pragma once

#include "protocol/ClientRecords.h"
#include "ui/Flow.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRCard.h"
#include "ui/tabs/EngineCardLogic.h"

#include <QFileDialog>
#include <QPointer>

#include <optional>

class QLabel;

namespace tavrin {

class ServerStateModel;
class TRButton;
class TRSegmentedPicker;
class TRTextField;
class TRValueLabel;

// Where the server's answers come from: the built-in echo engine, or an OpenAI-compatible server the
// reference server stands in front of. The card shows the engine in use (from each poll) and the
// settings the server holds, lets the user change them and save them through the state layer's
// EngineActions, and tries the engine in use with one tiny request. After a save the fields show what
// the server took; a refusal leaves what was typed as it was, under the server's words.
class EngineCard : public TRCard {
    Q_OBJECT
public:
    // `flows` are the hosting screen's: the card's flows are counted and ended with it.
    EngineCard(ServerStateModel* state, const ScreenFlows& flows, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    RecordEditor<ClientEngineSettings>* editor() const { return m_editor; }
    // The key file's chooser while it is open.
    QFileDialog* keyFilePicker() const { return m_picker; }

private:
    void buildChoice();
    void buildFields();
    void buildFooter();
    void orderFocus();
    void showRecord();
    void showChoice();
    void showEngineInUse();
    void browseKeyFile();
    EngineFieldTexts typed() const;
    Flow save();
    Flow test();

    ServerStateModel* m_state;
    const ScreenFlows& m_flows;
    RecordEditor<ClientEngineSettings>* m_editor = nullptr;

    QLabel* m_inUse = nullptr;
    QLabel* m_engineError = nullptr;
    std::optional<QString> m_shownEngineError;
    TRSegmentedPicker* m_choice = nullptr;
    QLabel* m_builtinNote = nullptr;
    QWidget* m_fields = nullptr;
    TRTextField* m_url = nullptr;
    TRTextField* m_model = nullptr;
    TRTextField* m_servedName = nullptr;
    TRTextField* m_keyFile = nullptr;
    TRButton* m_browse = nullptr;
    TRTextField* m_timeout = nullptr;
    QWidget* m_result = nullptr;
    QLabel* m_times = nullptr;
    TRValueLabel* m_answer = nullptr;
    TRButton* m_test = nullptr;
    TRButton* m_save = nullptr;
    QPointer<QFileDialog> m_picker;
    bool m_testing = false;
};

} // namespace tavrin
