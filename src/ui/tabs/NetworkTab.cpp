#include "ui/tabs/NetworkTab.h"

#include "ui/LanAddresses.h"

#include "state/ServerStateModel.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/NetMapNode.h"
#include "ui/kit/TREndpointList.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/NetworkTabLogic.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QSysInfo>
#include <QValidator>
#include <QVBoxLayout>

namespace tavrin {

namespace {

constexpr int kPortFieldWidth = 100;
constexpr int kEditorMinHeight = 70;
constexpr int kNodeMinimumWidth = 10;

// Keeps anything but a whole number out of the port field as it is typed.
class PortValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (!couldBePort(input, locale()))
            return Invalid;
        return portFromText(input, locale()) ? Acceptable : Intermediate;
    }
};

TRTextField* textField(const QString& placeholder, const QString& name) {
    auto* field = new TRTextField;
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(name);
    return field;
}

} // namespace

NetworkTab::NetworkTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    SettingsActions* settings = &state->settingsActions();
    m_editor = new RecordEditor<ClientNetworkPreferences>(
        state, m_flows, [settings] { return settings->networkPreferences(); },
        [settings](ClientNetworkPreferences prefs) { return settings->saveNetworkPreferences(std::move(prefs)); });
    addWidget(m_editor);
    buildMap();
    buildExposure();
    buildAdvanced();
    buildFooter();
    connect(m_editor, &RecordEditorBase::recordReplaced, this, &NetworkTab::showPreferences);
}

void NetworkTab::buildMap() {
    auto* card = new TRCard(tr("Currently exposed"),
                            tr("A live picture of what your server is accepting connections from."));
    auto* grid = new QGridLayout;
    grid->setSpacing(Spacing::grid);
    for (int column : {0, 1}) {
        grid->setColumnStretch(column, 1);
        grid->setColumnMinimumWidth(column, kNodeMinimumWidth);
    }
    const MapNodeText local = loopbackNode();
    grid->addWidget(new NetMapNode(local.symbol, local.head, local.title, local.detail, local.active), 0, 0);
    const MapNodeText network = networkNode({}, {});
    m_networkNode = new NetMapNode(network.symbol, network.head, network.title, network.detail, network.active);
    m_networkAddresses = new TREndpointList;
    m_networkNode->addBelow(m_networkAddresses);
    grid->addWidget(m_networkNode, 0, 1);
    card->body()->addLayout(grid);
    m_editor->body()->addWidget(card);
}

void NetworkTab::buildExposure() {
    const QString title = tr("Allow other machines on the local network to connect");
    auto* card = new TRCard(title, tr("Binds the server to 0.0.0.0 instead of 127.0.0.1. Anyone with "
                                      "a valid API key on your network can reach it."));
    m_lan = new KeldmarchSwitch(title);
    m_lan->setLabelHidden(true);
    card->setAccessory(m_lan);
    connect(m_lan, &QAbstractButton::clicked, this, [this](bool on) {
        if (auto* prefs = m_editor->copy()) {
            *prefs = SettingsActions::withLanEnabled(*prefs, on);
            m_bindHost->setText(prefs->bindHost);
            showNetworkNode();
        }
    });

    auto* body = new QVBoxLayout;
    body->setSpacing(Spacing::beside);
    auto* fields = new QHBoxLayout;
    fields->setSpacing(Spacing::beside);
    m_bindHost = textField(tr("Bind host"), tr("Bind host"));
    m_port = textField(tr("Port"), tr("Port"));
    m_port->setFixedWidth(kPortFieldWidth);
    m_port->setValidator(new PortValidator(m_port));
    fields->addLayout(labelled(tr("BIND HOST"), m_bindHost), 1);
    fields->addLayout(labelled(tr("PORT"), m_port), 0);
    body->addLayout(fields);
    m_mdnsName = textField(QStringLiteral("tavrin-server"), tr("mDNS name"));
    auto* mdns = labelled(tr("MDNS NAME · OPTIONAL"), m_mdnsName);
    auto* help = kitLabel(tr("Broadcast a friendly hostname like tavrin-server.local so colleagues don't "
                             "have to remember an IP."),
                          TextRole::detail);
    help->setWordWrap(true);
    mdns->addWidget(help);
    body->addLayout(mdns);
    card->body()->addLayout(body);
    m_editor->body()->addWidget(card);

    connect(m_bindHost, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (auto* prefs = m_editor->copy())
            prefs->bindHost = text;
    });
    connect(m_port, &QLineEdit::textEdited, this, &NetworkTab::editPort);
    // What is left in the field when the user moves on is the port that will be sent.
    connect(m_port, &QLineEdit::editingFinished, this, [this] {
        if (const auto* prefs = m_editor->copy(); prefs && !portFromText(m_port->text(), m_port->locale()))
            m_port->setText(portText(prefs->bindPort, m_port->locale()));
    });
    connect(m_mdnsName, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (auto* prefs = m_editor->copy())
            prefs->mdnsName = mdnsNameFromText(text);
    });
}

void NetworkTab::buildAdvanced() {
    m_advanced = new TRDisclosure(tr("Advanced — CORS & IP allowlist"));
    const auto editor = [this](const QString& caption, const QString& name, const QString& help) {
        auto* text = new TRTextEditor(kEditorMinHeight, true);
        text->editor()->setAccessibleName(name);
        auto* column = labelled(caption, text);
        auto* note = kitLabel(help, TextRole::detail);
        note->setWordWrap(true);
        column->addWidget(note);
        m_advanced->body()->addLayout(column);
        return text;
    };
    m_cors = editor(tr("CORS ALLOWED ORIGINS"), tr("CORS allowed origins"),
                    tr("One per line. Leave empty to deny browser cross-origin requests. Only matters if "
                       "you call the API from a web app."));
    m_advanced->body()->addSpacing(Spacing::beside);
    m_allowlist = editor(tr("IP ALLOWLIST"), tr("IP allowlist"),
                         tr("One per line. Empty means any device with a valid API key. Use this to lock "
                            "the server to specific subnets."));
    m_editor->body()->addWidget(m_advanced);
}

void NetworkTab::buildFooter() {
    auto* footer = new QHBoxLayout;
    footer->setSpacing(Spacing::beside);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(Spacing::lines);
    auto* note = kitLabel(tr("Changes apply when the server restarts."), TextRole::secondary);
    note->setWordWrap(true);
    lines->addWidget(note);
    lines->addWidget(m_editor->statusLine());
    lines->addWidget(m_editor->errorLine());
    footer->addLayout(lines, 1);
    auto* save = new TRButton(tr("Save changes"), KeldmarchButtonStyle{});
    footer->addWidget(save, 0, Qt::AlignTop);
    m_editor->body()->addLayout(footer);
    connect(save, &QPushButton::clicked, this, &NetworkTab::save);
}

// The editors hold their lists as text while the user types; a load or a save puts back the lists the
// server holds, as it answered them (trimmed, without the blank lines, each entry as it keeps it), so
// that what shows after "Save changes" is what the server will apply.
void NetworkTab::fillEditors() {
    const auto* prefs = m_editor->copy();
    m_cors->setText(textFromEntries(prefs->corsAllowedOrigins));
    m_allowlist->setText(textFromEntries(prefs->ipAllowlist));
}

void NetworkTab::showPreferences() {
    const auto* prefs = m_editor->copy();
    m_lan->setChecked(prefs->lanEnabled);
    if (m_bindHost->text() != prefs->bindHost)
        m_bindHost->setText(prefs->bindHost);
    if (portFromText(m_port->text(), m_port->locale()) != prefs->bindPort)
        m_port->setText(portText(prefs->bindPort, m_port->locale()));
    const QString mdns = prefs->mdnsName.value_or(QString());
    if (m_mdnsName->text() != mdns)
        m_mdnsName->setText(mdns);
    fillEditors();
    showNetworkNode();
}

void NetworkTab::showNetworkNode() {
    const MapNodeText node = networkNode(*m_editor->copy(), QSysInfo::machineHostName());
    m_networkNode->setSymbol(node.symbol);
    m_networkNode->setHead(node.head);
    m_networkNode->setTitle(node.title);
    m_networkNode->setDetail(node.detail);
    m_networkNode->setActive(node.active);
    const auto* prefs = m_editor->copy();
    m_networkAddresses->setEntries(prefs && prefs->lanEnabled ? lanEndpointEntries(*prefs) : QList<TREndpointList::Entry>());
}

void NetworkTab::editPort(const QString& text) {
    auto* prefs = m_editor->copy();
    const auto port = portFromText(text, m_port->locale());
    if (!prefs || !port)
        return;
    prefs->bindPort = *port;
    showNetworkNode();
}

void NetworkTab::save() {
    if (const auto* prefs = m_editor->copy())
        m_editor->save(preferencesToSend(*prefs, m_cors->text(), m_allowlist->text()), networkSavedMessage());
}

} // namespace tavrin
