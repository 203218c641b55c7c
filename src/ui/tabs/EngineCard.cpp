#include "ui/tabs/EngineCard.h"

#include "state/ActionWords.h"
#include "state/EngineActions.h"
#include "state/ServerStateModel.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/Theme.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tavrin {

namespace {

constexpr int kTimeoutFieldWidth = 100;
constexpr int kBuiltinIndex = 0;
constexpr int kOpenaiIndex = 1;

TRTextField* textField(const QString& placeholder, const QString& name, bool monospaced = false) {
    auto* field = new TRTextField(monospaced);
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(name);
    return field;
}

QLabel* wrapped(QLabel* label) {
    label->setWordWrap(true);
    return label;
}

} // namespace

EngineCard::EngineCard(ServerStateModel* state, const ScreenFlows& flows, QWidget* parent)
    : TRCard(tr("Engine"),
             tr("Where the answers come from. Keys, usage, the audit log and the preamble stay with this server, "
                "whichever engine answers."),
             parent),
      m_state(state), m_flows(flows) {
    m_inUse = wrapped(kitLabel({}, TextRole::detail));
    body()->addWidget(m_inUse);
    // The engine's own account of why it does not serve, as the server last found it: after a start
    // with a saved engine it could not make, the built-in one answers and only this line says why.
    m_engineError = wrapped(kitLabel({}, TextRole::detail));
    setLabelColor(m_engineError, Theme::dangerRed());
    m_engineError->hide();
    body()->addWidget(m_engineError);
    EngineActions* engines = &state->engineActions();
    m_editor = new RecordEditor<ClientEngineSettings>(state, m_flows, [engines] { return engines->settings(); });
    body()->addWidget(m_editor);
    buildChoice();
    buildFields();
    buildFooter();
    orderFocus();

    connect(m_editor, &RecordEditorBase::recordReplaced, this, &EngineCard::showRecord);
    connect(m_state, &ServerStateModel::statusChanged, this, &EngineCard::showEngineInUse);
    showEngineInUse();
}

void EngineCard::buildChoice() {
    m_choice = new TRSegmentedPicker(title(), {tr("Built-in echo"), tr("OpenAI-compatible")}); // named as the card
    m_choice->setTitleHidden(true);
    m_editor->body()->addWidget(m_choice, 0, Qt::AlignLeft);
    connect(m_choice, &TRSegmentedPicker::activated, this, &EngineCard::showChoice);
    m_builtinNote = wrapped(kitLabel(tr("The built-in echo engine answers each request by repeating it. It needs "
                                        "nothing else, which makes it the engine for trying the server out."),
                                     TextRole::secondary));
    m_editor->body()->addWidget(m_builtinNote);
}

void EngineCard::buildFields() {
    m_fields = new QWidget;
    auto* fields = new QVBoxLayout(m_fields);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(Spacing::beside);

    m_url = textField(QStringLiteral("http://127.0.0.1:8080/v1"), tr("Base URL"), true);
    fields->addLayout(labelled(tr("BASE URL"), m_url));

    auto* names = new QHBoxLayout;
    names->setSpacing(Spacing::beside);
    m_model = textField(tr("The model to ask for"), tr("Upstream model"));
    m_servedName = textField(tr("The model's own name"), tr("Name clients see"));
    names->addLayout(labelled(tr("UPSTREAM MODEL"), m_model), 1);
    names->addLayout(labelled(tr("NAME CLIENTS SEE · OPTIONAL"), m_servedName), 1);
    fields->addLayout(names);

    auto* keyRow = new QHBoxLayout;
    keyRow->setSpacing(Spacing::group);
    m_keyFile = textField(tr("No key"), tr("Key file"), true);
    m_browse = new TRButton(tr("Browse…"), GhostButtonStyle{});
    // Reached by Tab, the button alone does not say what it browses for.
    m_browse->setAccessibleName(tr("Choose the key file"));
    keyRow->addWidget(m_keyFile, 1);
    keyRow->addWidget(m_browse);
    auto* keyColumn = new QVBoxLayout;
    keyColumn->setSpacing(Spacing::caption);
    keyColumn->addWidget(new TRCaption(tr("KEY FILE · OPTIONAL")));
    keyColumn->addLayout(keyRow);
    keyColumn->addWidget(wrapped(kitLabel(tr("A file of yours, mode 0600, holding the engine's API key. The server "
                                             "reads the key from it; the key itself is never shown or saved."),
                                          TextRole::detail)));
    fields->addLayout(keyColumn);
    connect(m_browse, &QPushButton::clicked, this, &EngineCard::browseKeyFile);

    m_timeout = textField(QStringLiteral("300"), tr("Request timeout in seconds"));
    m_timeout->setFixedWidth(kTimeoutFieldWidth);
    // Digits alone: the server judges the range and says it in its own words.
    m_timeout->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), m_timeout));
    auto* timeout = labelled(tr("REQUEST TIMEOUT · SECONDS"), m_timeout);
    timeout->setAlignment(m_timeout, Qt::AlignLeft);
    fields->addLayout(timeout);
    m_editor->body()->addWidget(m_fields);
}

void EngineCard::buildFooter() {
    m_result = new QWidget;
    auto* result = new QVBoxLayout(m_result);
    result->setContentsMargins(0, 0, 0, 0);
    result->setSpacing(Spacing::caption);
    result->addWidget(new TRCaption(tr("TEST ANSWER")));
    m_times = wrapped(kitLabel({}, TextRole::detail));
    result->addWidget(m_times);
    m_answer = new TRValueLabel({}, TextRole::monoValue);
    m_answer->setWordWrap(true);
    m_answer->setAccessibleName(tr("Test answer"));
    result->addWidget(m_answer);
    m_result->hide();
    m_editor->body()->addWidget(m_result);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(Spacing::beside);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(Spacing::lines);
    lines->addWidget(wrapped(kitLabel(tr("Test engine asks the engine in use, as last saved, to say hello."),
                                      TextRole::secondary)));
    lines->addWidget(m_editor->statusLine());
    lines->addWidget(m_editor->errorLine());
    footer->addLayout(lines, 1);
    m_test = new TRButton(tr("Test engine"), GhostButtonStyle{});
    m_save = new TRButton(tr("Save engine"), KeldmarchButtonStyle{});
    footer->addWidget(m_test, 0, Qt::AlignTop);
    footer->addWidget(m_save, 0, Qt::AlignTop);
    m_editor->body()->addLayout(footer);
    connect(m_test, &QPushButton::clicked, this, &EngineCard::test);
    connect(m_save, &QPushButton::clicked, this, &EngineCard::save);
}

// The order a person fills the card in, whatever order the layouts took the widgets in.
void EngineCard::orderFocus() {
    const QList<QWidget*> order{m_choice->segment(kBuiltinIndex), m_choice->segment(kOpenaiIndex), m_url, m_model,
                                m_servedName, m_keyFile, m_browse, m_timeout, m_test, m_save};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// The server's record as the card shows it: after a load, and after a save, what the server took.
void EngineCard::showRecord() {
    const ClientEngineSettings* held = m_editor->copy();
    const EngineFieldTexts texts = fieldTextsOf(*held);
    m_url->setText(texts.url);
    m_model->setText(texts.model);
    m_servedName->setText(texts.servedName);
    m_keyFile->setText(texts.keyFile);
    m_timeout->setText(texts.timeoutSeconds);
    m_choice->setCurrentIndex(engineChoiceOf(*held) == EngineChoice::openai ? kOpenaiIndex : kBuiltinIndex);
    showChoice();
}

// Choosing the built-in engine puts the fields away, keeping what they hold for a change of mind.
void EngineCard::showChoice() {
    const bool openai = m_choice->currentIndex() == kOpenaiIndex;
    m_fields->setVisible(openai);
    m_builtinNote->setVisible(!openai);
}

void EngineCard::showEngineInUse() {
    const std::optional<ClientServerStatus>& status = m_state->status();
    // Without a server there is nothing to set: the tab says so above. A card not yet placed in its
    // tab is never shown (it would open as a window of its own).
    if (!status)
        hide();
    else if (parentWidget())
        show();
    const bool told = status && status->engine;
    m_inUse->setVisible(told);
    if (told)
        m_inUse->setText(tr("In use: %1").arg(engineLine(*status->engine)));
    const std::optional<QString> error = told ? status->engine->lastError : std::nullopt;
    // "Saved." said the engine serves; once the server says it cannot, that line would contradict it.
    if (error && error != m_shownEngineError)
        m_editor->statusLine()->clearMessage();
    m_shownEngineError = error;
    m_engineError->setVisible(bool(error));
    m_engineError->setText(error.value_or(QString()));
}

// The chooser starts in the typed path's folder, else in the user's home. It is opened without
// waiting for it, so the window keeps running (and polling) while the user looks for the file.
void EngineCard::browseKeyFile() {
    if (m_picker) {
        m_picker->raise();
        return;
    }
    const QFileInfo typedPath(m_keyFile->text().trimmed());
    const QString folder = typedPath.isAbsolute() ? typedPath.absolutePath() : QDir::homePath();
    auto* picker = new QFileDialog(this, tr("Choose the file that holds the engine's API key"), folder);
    picker->setFileMode(QFileDialog::ExistingFile);
    picker->setOption(QFileDialog::DontResolveSymlinks); // the server refuses a link; show the path as chosen
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QFileDialog::fileSelected, this, [this](const QString& file) {
        if (!file.isEmpty())
            m_keyFile->setText(file);
    });
    m_picker = picker;
    picker->open();
}

EngineFieldTexts EngineCard::typed() const {
    return {m_url->text(), m_model->text(), m_servedName->text(), m_keyFile->text(), m_timeout->text()};
}

Flow EngineCard::save() {
    const ClientEngineSettings* held = m_editor->copy();
    if (!held)
        co_return;
    EngineActions& engines = m_state->engineActions();
    m_editor->clearMessages();
    QCoro::Task<ActionOutcome<ClientEngineSettings>> saving = m_choice->currentIndex() == kOpenaiIndex
                                                                  ? engines.set(settingsToSend(*held, typed()))
                                                                  : engines.setBuiltin();
    const ActionOutcome<ClientEngineSettings> saved = co_await std::move(saving);
    if (!saved) {
        m_editor->showError(saved.error().message());
        co_return;
    }
    m_editor->replace(*saved);
    m_editor->showStatus(engineSavedMessage(*saved));
}

Flow EngineCard::test() {
    if (m_testing) // one tiny request at a time is enough to tell
        co_return;
    m_testing = true;
    m_editor->clearMessages();
    m_result->hide();
    QCoro::Task<ActionOutcome<ClientEngineTestResult>> testing = m_state->engineActions().test();
    const ActionOutcome<ClientEngineTestResult> tested = co_await std::move(testing);
    m_testing = false;
    if (!tested) {
        m_editor->showError(tested.error().message());
        co_return;
    }
    m_times->setText(engineTestTimes(*tested));
    m_answer->setText(tested->answer);
    m_result->show();
}

} // namespace tavrin
