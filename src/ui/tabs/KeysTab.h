#pragma once

#include "protocol/ClientRecords.h"
#include "state/KeyActions.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/kit/TabContent.h"

#include <QSet>
#include <QString>

#include <optional>

class QLabel;
class QWidget;

namespace tavrin {

struct ActionError;
class IssuedKeyBanner;
class ServerStateModel;
class TRButton;
class TRCard;
class TRKeyedList;
class TRMessageLine;
class TRSegmentedPicker;
class TRTextField;

// The API Keys tab: a card that creates keys, the one-time banner with a new key's secret, and the list
// of keys with their status, scope and use, each with its Revoke, Rotate and Delete buttons. The list is
// the model's; the tab asks the state layer's key actions for every change.
// Its own state (the label typed, the scope chosen, the error, the key on the banner) ends with it: a new
// key's secret is held by the banner while it shows it, and nowhere else, so a tab made anew never shows
// the secret of an earlier key.
class KeysTab : public TabContent {
    Q_OBJECT
public:
    KeysTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }

private:
    void buildCreateCard();
    void buildKeyList();
    void showScope();
    void showIssuedKey(const ClientCreatedAPIKey& issued);
    void showKeys();
    void showFailure(const ActionError& error);
    void bringIntoView(QWidget* widget);
    void startCreate();
    void startOnKey(KeyChange change, const QString& id);

    Flow create();
    Flow changeKey(KeyChange change, QString id);

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    bool m_creating = false;
    QSet<QString> m_keysInAction; // one action at a time per key: a double click is one press

    TRTextField* m_label = nullptr;
    TRButton* m_create = nullptr;
    TRSegmentedPicker* m_scope = nullptr;
    QLabel* m_scopeDescription = nullptr;
    TRMessageLine* m_error = nullptr;
    IssuedKeyBanner* m_banner = nullptr;
    TRCard* m_keysCard = nullptr;
    QLabel* m_empty = nullptr;
    TRKeyedList* m_rows = nullptr;
    std::optional<ClientAPIKeyList> m_shownKeys;
};

} // namespace tavrin
