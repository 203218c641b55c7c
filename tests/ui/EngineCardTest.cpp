// The Models tab's engine card as an administrator meets it: real widgets offscreen, over a state
// model that polls the real tavrin-server, with a scripted OpenAI-compatible engine behind it. What
// Save sends is checked on the server itself; every refusal is the server's own words.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "base/PrivateFile.h"
#include "support/ScriptedHttpServer.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TRTextField.h"
#include "ui/tabs/EngineCard.h"
#include "ui/tabs/EngineCardLogic.h"
#include "ui/tabs/ModelsTab.h"

#include <QFileDialog>
#include <QLayout>
#include <QTemporaryDir>

#include <sys/stat.h>

Q_DECLARE_METATYPE(tavrin::ClientEngineSettings)
Q_DECLARE_METATYPE(tavrin::EngineFieldTexts)

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString kBaseUrl = QStringLiteral("Base URL");
const QString kModel = QStringLiteral("Upstream model");
const QString kServedName = QStringLiteral("Name clients see");
const QString kKeyFile = QStringLiteral("Key file");
const QString kTimeout = QStringLiteral("Request timeout in seconds");
const QStringList kFields{kBaseUrl, kModel, kServedName, kKeyFile, kTimeout};

ClientEngineSettings engineOfKind(const QString& kind) {
    ClientEngineSettings settings;
    settings.kind = kind;
    return settings;
}

} // namespace

class EngineCardTest : public QObject, protected RecordTabFixture {
    Q_OBJECT

    ModelsTab* m_tab = nullptr;
    EngineCard* m_card = nullptr;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<ScriptedHttpServer> m_engine;

    // Each step says whether it could be taken; a test goes no further than a step that could not.
    [[nodiscard]] bool open() {
        startServer();
        if (QTest::currentTestFailed())
            return false;
        m_tab = RecordTabFixture::open<ModelsTab>(AdminTab::models, {860, 1600});
        m_card = m_tab->findChild<EngineCard*>();
        return m_card && QTest::qWaitFor([this] { return m_card->editor()->record().has_value(); }, 15000);
    }
    QString engineUrl() const { return m_engine->baseUrl().toString() + "/v1"; }
    QString privateKeyFile(const QString& name, mode_t mode = 0600) const {
        const QString path = m_files->filePath(name);
        if (!writeFilePrivately(path, "sk-scripted-engine-key\n") || ::chmod(QFile::encodeName(path).constData(), mode) != 0)
            qWarning("could not write %s", qPrintable(path));
        return path;
    }

    TRSegmentedPicker* choice() const { return m_card->findChild<TRSegmentedPicker*>(); }
    [[nodiscard]] bool choose(const QString& label) {
        TRSegmentedPicker* picker = choice();
        const int index = int(picker->options().indexOf(label));
        if (index < 0)
            return false;
        picker->segment(index)->click();
        return picker->currentIndex() == index;
    }
    TRTextField* field(const QString& name) const { return namedChild<TRTextField>(m_card, name); }
    void type(const QString& name, const QString& text) { typeOver(field(name), text); }
    QStringList fieldTexts() const {
        QStringList texts;
        for (const QString& name : kFields)
            texts << field(name)->text();
        return texts;
    }
    [[nodiscard]] bool press(const QString& text) { return ScreenHost::press(m_card, text); }
    ClientEngineSettings held() const {
        return QCoro::waitFor(client->engineSettings()).value_or(engineOfKind("unreadable"));
    }
    QString testAnswer() const {
        auto* answer = findVisible<TRValueLabel>(m_card, QStringLiteral("Test answer"),
                                                 [](TRValueLabel* label) { return label->accessibleName(); });
        return answer ? answer->text() : QString();
    }

private Q_SLOTS:
    void init() {
        m_files = std::make_unique<QTemporaryDir>();
        QVERIFY(m_files->isValid());
        m_engine = std::make_unique<ScriptedHttpServer>();
        m_engine->route("/v1/models", ScriptedResponse::json(200, R"({"object":"list","data":[{"id":"tide-7b","object":"model"}]})"));
        m_engine->route("/v1/chat/completions",
                        ScriptedResponse::json(200, engineEventStream({"Hello", " there."})).withType("text/event-stream"));
    }
    void cleanup() {
        tearDown();
        m_engine.reset();
        m_files.reset();
    }

    // What Save sends: the fields as typed without the spaces around them, blank ones left out for
    // the server's defaults, and what the card does not show kept as the server holds it.
    void saveSendsTheFieldsOverWhatTheServerHolds_data() {
        QTest::addColumn<ClientEngineSettings>("held");
        QTest::addColumn<EngineFieldTexts>("typed");
        QTest::addColumn<ClientEngineSettings>("sent");
        const ClientEngineSettings builtin = engineOfKind("builtin");
        const ClientEngineSettings office{"openai", "http://10.0.0.7:8000/v1", "tide-7b", "office", "/home/ada/engine.key", 120, 5};
        QTest::newRow("from the built-in engine, every field") << builtin
            << EngineFieldTexts{"http://10.0.0.7:8000/v1", "tide-7b", "office", "/home/ada/engine.key", "120"}
            << ClientEngineSettings{"openai", "http://10.0.0.7:8000/v1", "tide-7b", "office", "/home/ada/engine.key", 120, {}};
        QTest::newRow("blank fields leave their values out") << office
            << EngineFieldTexts{" http://10.0.0.7:8000/v1 ", "tide-7b\t", "  ", "", ""}
            << ClientEngineSettings{"openai", "http://10.0.0.7:8000/v1", "tide-7b", {}, {}, {}, 5};
        QTest::newRow("what is typed goes as typed, for the server to judge") << office
            << EngineFieldTexts{"ftp://x", "a model", "office 2", "keys/engine", "0"}
            << ClientEngineSettings{"openai", "ftp://x", "a model", "office 2", "keys/engine", 0, 5};
    }
    void saveSendsTheFieldsOverWhatTheServerHolds() {
        QFETCH(ClientEngineSettings, held);
        QFETCH(EngineFieldTexts, typed);
        QTEST(settingsToSend(held, typed), "sent");
        QCOMPARE(engineChoiceOf(held), held.url ? EngineChoice::openai : EngineChoice::builtin);
    }

    // The whole road: the built-in engine shown, an OpenAI-compatible one set through the fields and
    // held by the server, tried (its answer, then its failure), and the built-in one put back.
    void anEngineSetThroughTheCardIsHeldByTheServerTriedAndPutBack() {
        QVERIFY(open());
        QCOMPARE(choice()->currentIndex(), choice()->options().indexOf("Built-in echo"));
        QVERIFY(!field(kBaseUrl)->isVisibleTo(m_card));
        QVERIFY(visibleTexts(m_card).contains("In use: Built-in echo engine · answering"));

        const QString keyFile = privateKeyFile("engine.key");
        QVERIFY(choose("OpenAI-compatible"));
        type(kBaseUrl, engineUrl());
        type(kModel, "  tide-7b ");
        type(kServedName, "office");
        type(kKeyFile, keyFile);
        type(kTimeout, "12x0"); // the letter never reaches the field
        QCOMPARE(field(kTimeout)->text(), "120");
        QVERIFY(press("Save engine"));
        QCOMPARE(errorLines(m_card), QStringList());
        QCOMPARE(held(), (ClientEngineSettings{"openai", engineUrl(), "tide-7b", "office", keyFile, 120, {}}));
        QCOMPARE(statusLines(m_card), QStringList{"Saved. New requests go to the engine serving office at " + engineUrl() + "."});
        QCOMPARE(fieldTexts(), (QStringList{engineUrl(), "tide-7b", "office", keyFile, "120"})); // as the server holds them
        QVERIFY(std::ranges::any_of(visibleTexts(m_card), [&](const QString& text) {
            return text.startsWith("In use: office · " + engineUrl() + " · ");
        }));

        QVERIFY(press("Test engine"));
        QCOMPARE(errorLines(m_card), QStringList());
        QCOMPARE(testAnswer(), "Hello there.");
        QVERIFY(std::ranges::any_of(visibleTexts(m_card), [](const QString& text) { return text.startsWith("First token in "); }));
        const auto asked = m_engine->requests();
        QVERIFY(std::ranges::any_of(asked, [](const RecordedRequest& request) {
            return request.path() == "/v1/chat/completions" &&
                   request.header("Authorization") == std::optional<QByteArray>("Bearer sk-scripted-engine-key");
        }));

        // A failing engine: the test's failure in the action's own words, and no answer.
        m_engine->route("/v1/chat/completions", ScriptedResponse::text(500, "the model ran out of memory"));
        const auto failed = QCoro::waitFor(model->engineActions().test());
        QVERIFY(!failed);
        QVERIFY(press("Test engine"));
        QCOMPARE(errorLines(m_card), QStringList{failed.error().message().trimmed()}); // its line break aside
        QCOMPARE(testAnswer(), QString());

        QVERIFY(choose("Built-in echo"));
        QVERIFY(!field(kBaseUrl)->isVisibleTo(m_card));
        QVERIFY(press("Save engine"));
        QCOMPARE(held(), engineOfKind("builtin"));
        QCOMPARE(statusLines(m_card), QStringList{"Saved. New requests go to the built-in echo engine."});
        QVERIFY(visibleTexts(m_card).contains("In use: Built-in echo engine · answering"));
        QVERIFY(press("Test engine"));
        QVERIFY2(testAnswer().contains("Say hello."), qPrintable(testAnswer())); // the echo quotes the test's prompt
    }

    // A saved engine the server cannot make at its next start (its key file now readable by others):
    // the built-in engine serves, and the card says why beside it, no longer "Saved." below.
    void aSavedEngineTheServerCouldNotMakeIsToldOnTheCard() {
        QVERIFY(open());
        const QString keyFile = privateKeyFile("engine.key");
        QVERIFY(choose("OpenAI-compatible"));
        type(kBaseUrl, engineUrl());
        type(kModel, "tide-7b");
        type(kKeyFile, keyFile);
        QVERIFY(press("Save engine"));
        QCOMPARE(errorLines(m_card), QStringList());
        QCOMPARE(::chmod(QFile::encodeName(keyFile).constData(), 0644), 0);
        QVERIFY(server->restart());
        QCoro::waitFor(model->refresh());
        const QStringList shown = visibleTexts(m_card);
        QVERIFY2(shown.contains("In use: Built-in echo engine · answering"), qPrintable(shown.join('\n')));
        QVERIFY(std::ranges::any_of(shown, [](const QString& text) {
            return text.startsWith("The saved engine cannot be used, so the built-in echo engine serves");
        }));
        QVERIFY2(std::ranges::none_of(shown, [](const QString& text) { return text.startsWith("Saved."); }),
                 qPrintable(shown.join('\n')));
        saveScreen(m_card, "engine-card-unusable");
    }

    // A setting the server refuses: its words under the buttons, what was typed left as it was, and
    // the engine in use still the built-in one.
    void aRefusedSettingShowsTheServersWordsAndKeepsWhatWasTyped_data() {
        QTest::addColumn<QString>("url"); // empty: the scripted engine's
        QTest::addColumn<QString>("modelName");
        QTest::addColumn<int>("keyMode"); // 0: no key file
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<QString>("said");
        QTest::newRow("an ftp address") << "ftp://127.0.0.1/v1" << "tide-7b" << 0 << ""
                                        << "The engine's address must start with http:// or https://.";
        QTest::newRow("a key file others may read") << "" << "tide-7b" << 0644 << ""
                                                    << "The key file must be a regular file of yours that only you can read (mode 0600).";
        QTest::newRow("no model") << "" << "" << 0600 << "" << "An OpenAI-compatible engine needs a model name.";
        QTest::newRow("no time at all") << "" << "tide-7b" << 0 << "0" << "The request timeout must be between 1 and 3600 seconds.";
    }
    void aRefusedSettingShowsTheServersWordsAndKeepsWhatWasTyped() {
        QFETCH(QString, url);
        QFETCH(QString, modelName);
        QFETCH(int, keyMode);
        QFETCH(QString, timeout);
        QFETCH(QString, said);
        QVERIFY(open());
        const QStringList typed{url.isEmpty() ? engineUrl() : url, modelName, "office",
                                keyMode ? privateKeyFile("engine.key", mode_t(keyMode)) : QString(), timeout};
        QVERIFY(choose("OpenAI-compatible"));
        for (qsizetype i = 0; i < kFields.size(); ++i)
            type(kFields[i], typed[i]);
        QVERIFY(press("Save engine"));
        QCOMPARE(errorLines(m_card), QStringList{"Server returned HTTP 400: " + said});
        QCOMPARE(statusLines(m_card), QStringList());
        QCOMPARE(fieldTexts(), typed);
        QCOMPARE(choice()->currentIndex(), choice()->options().indexOf("OpenAI-compatible"));
        QCOMPARE(held(), engineOfKind("builtin"));
    }

    // Every field is named for a screen reader and reached by Tab in the order it is filled in; the
    // key file's chooser opens without holding up the window, and its choice fills the field.
    void theCardIsNamedForReadersReachedInOrderAndBrowsesWithoutBlocking() {
        QVERIFY(open());
        QVERIFY(choose("OpenAI-compatible"));
        QStringList reached;
        QWidget* at = choice()->segment(choice()->currentIndex());
        do {
            if (at->isVisibleTo(m_card) && at->isEnabled() && (at->focusPolicy() & Qt::TabFocus)) {
                const auto* button = qobject_cast<QAbstractButton*>(at);
                reached << (at->accessibleName().isEmpty() && button ? button->text() : at->accessibleName());
            }
            at = at->nextInFocusChain();
        } while (at != choice()->segment(choice()->currentIndex()) && m_card->isAncestorOf(at));
        QCOMPARE(reached, (QStringList{"OpenAI-compatible", kBaseUrl, kModel, kServedName, kKeyFile, "Choose the key file",
                                       kTimeout, "Test engine", "Save engine"}));

        const QString keyFile = privateKeyFile("chosen.key");
        QVERIFY(buttonNamed(m_card, "Browse…"));
        buttonNamed(m_card, "Browse…")->click();
        QFileDialog* picker = m_card->keyFilePicker();
        QVERIFY(picker && picker->isVisible() && picker->windowModality() == Qt::WindowModal);
        QCOMPARE(picker->fileMode(), QFileDialog::ExistingFile);
        QCoreApplication::processEvents(); // the window goes on while the chooser is open
        Q_EMIT picker->fileSelected(keyFile);
        picker->close();
        QCOMPARE(field(kKeyFile)->text(), keyFile);
    }
};

int main(int argc, char** argv) { return runKitTests<EngineCardTest>(argc, argv); }

#include "EngineCardTest.moc"
