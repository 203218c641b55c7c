#pragma once

#include "protocol/Task.h"

#include "state/ActionOutcome.h"
#include "state/Phase.h"
#include "ui/Flow.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class QVBoxLayout;

namespace tavrin {

class ServerStateModel;
class TRMessageLine;
class TRProgressIndicator;

// How an administration tab edits one record of the server (logging settings, network preferences,
// the updater's state): the tab's part under its heading. While no record has been loaded it shows
// only a centred progress wheel, with the load's failure beneath it; each time the wheel comes on
// screen, and each time the server comes back (the phase turns to running), the record is loaded.
// The first record to arrive becomes the editable copy and the tab's own content takes the wheel's
// place for good. Edits change the copy only; a save sends it and the server's answer replaces it.
//
// The tab's two message lines (success, error) are made here and placed by the tab. Every action
// started while another runs is let run; whichever ends last sets the lines. A load that ends once
// a record is present changes nothing: it would throw away the user's edits.
class RecordEditorBase : public QWidget {
    Q_OBJECT
public:
    // The page the tab fills, shown once a record is present.
    QVBoxLayout* body() const { return m_body; }
    QWidget* content() const { return m_content; }
    TRProgressIndicator* progressIndicator() const { return m_wheel; }

    TRMessageLine* statusLine() const { return m_statusLine; }
    TRMessageLine* errorLine() const { return m_errorLine; }
    // The error line's text, wherever it shows (under the wheel until a record is present).
    QString errorMessage() const;
    void clearMessages();
    void showStatus(const QString& message);
    void showError(const QString& message);

    // The flows are the screen's: counted with its own and ended with it.
    const ScreenFlows& flows() const { return m_flows; }

Q_SIGNALS:
    // The record first arrived: the content is on screen from now on.
    void contentShown();
    // A load or a save replaced the copy; the controls show it anew.
    void recordReplaced();

protected:
    RecordEditorBase(ServerStateModel* state, const ScreenFlows& flows, QWidget* parent);
    virtual Flow load() = 0;
    virtual bool hasRecord() const = 0;
    // After the copy was replaced: shows the content (the first time) and tells the tab.
    void showReplacedRecord();

private:
    void followPhase();

    ServerStateModel* m_state;
    const ScreenFlows& m_flows;
    Phase::Kind m_lastPhase;
    QWidget* m_loading;
    TRProgressIndicator* m_wheel;
    TRMessageLine* m_loadError;
    QWidget* m_content;
    QVBoxLayout* m_body;
    TRMessageLine* m_statusLine;
    TRMessageLine* m_errorLine;
};

template <class Record> class RecordEditor : public RecordEditorBase {
public:
    // The state layer's actions that read and send the record.
    using Load = std::function<QCoro::Task<ActionOutcome<Record>>()>;
    using Save = std::function<QCoro::Task<ActionOutcome<Record>>(Record)>;

    // `flows` are the screen's (its `m_flows`); `save` may be empty for a record that is never sent.
    RecordEditor(ServerStateModel* state, const ScreenFlows& flows, Load load, Save save = {},
                 QWidget* parent = nullptr)
        : RecordEditorBase(state, flows, parent), m_load(std::move(load)), m_save(std::move(save)) {}

    const std::optional<Record>& record() const { return m_record; }
    // The copy to edit; nullptr while none is loaded, so that edits then go nowhere.
    Record* copy() { return m_record ? &*m_record : nullptr; }

    // The copy (or what the tab builds from it) goes to the server; its answer replaces the copy and
    // `savedMessage` shows. On failure the error shows and the copy keeps the user's edits.
    Flow save(Record sent, QString savedMessage) {
        clearMessages();
        QCoro::Task<ActionOutcome<Record>> sending = m_save(std::move(sent));
        ActionOutcome<Record> saved = co_await std::move(sending);
        if (!saved) {
            showError(saved.error().message());
            co_return;
        }
        m_record = std::move(*saved);
        showStatus(savedMessage);
        showReplacedRecord();
    }

    // An answer the tab's own action brought: it replaces the copy.
    void replace(Record record) {
        m_record = std::move(record);
        showReplacedRecord();
    }

protected:
    Flow load() override {
        showError({});
        QCoro::Task<ActionOutcome<Record>> loading = m_load();
        ActionOutcome<Record> loaded = co_await std::move(loading);
        if (m_record)
            co_return;
        if (!loaded) {
            showError(loaded.error().message());
            co_return;
        }
        replace(std::move(*loaded));
    }
    bool hasRecord() const override { return bool(m_record); }

private:
    Load m_load;
    Save m_save;
    std::optional<Record> m_record;
};

} // namespace tavrin
