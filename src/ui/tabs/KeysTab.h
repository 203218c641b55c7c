#pragma once

#include "protocol/ClientRecords.h"
#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/kit/TabContent.h"

#include <QSet>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QLabel;
class QWidget;

namespace tavrin {

class DaemonClientError;
class IssuedKeyBanner;
class KeyListRow;
class ServerStateModel;
class TRButton;
class TRCard;
class TRMessageLine;
class TRSegmentedPicker;
class TRTextField;

// The API Keys tab: a card that creates keys, the one-time banner with a new key's secret, and the list
// of keys with their status, scope and use, each with its Revoke, Rotate and Delete buttons. The list is
// the model's; the tab calls the admin client through the model and then asks it for a poll cycle.
// Its own state (the label typed, the scope chosen, the error, whether the banner may show) ends with it:
// a tab made anew never shows the secret of an earlier key.
class KeysTab : public TabContent {
    Q_OBJECT
public:
    KeysTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }

private:
    void buildCreateCard();
    void buildKeyList();
    void showScope();
    void showIssuedKey();
    void showKeys();
    void placeFocusAfterRemoval(int position, int button);
    void showFailure(const DaemonClientError& error);
    void bringIntoView(QWidget* widget);
    void startCreate();
    void startOnKey(const QString& id, Flow (KeysTab::*flow)(QString));

    Flow create();
    Flow revoke(QString id);
    Flow rotate(QString id);
    Flow remove(QString id);

    ServerStateModel* m_state;
    ScreenFlows m_flows;
    bool m_revealNewKey = false;
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
    QWidget* m_rowArea = nullptr;
    std::vector<std::pair<QString, KeyListRow*>> m_rows; // by key id, in the model's order
    std::optional<ClientAPIKeyList> m_shownKeys;
};

} // namespace tavrin
