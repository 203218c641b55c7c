// Every screen in the pseudo-language: the window's tabs, the tray panel and setup's steps, shown
// offscreen with the pseudo catalogue installed (translations/, tools/PseudoTranslation.h). A text a
// person reads that carries no pseudo marks did not go through the catalogues; a label or button
// narrower than its lengthened text will cut a translation short.
#include "KitTestMain.h"
#include "base/ShownFigures.h"
#include "StatusFixture.h"

#include "base/Translations.h"
#include "protocol/JsonCodec.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/tray/TrayPanel.h"
#include "ui/window/MainWindow.h"
#include "protocol/HardwareProbe.h"
#include "ui/wizard/FirstRunWizardView.h"
#include "ui/wizard/WizardAdminSecret.h"
#include "PseudoTranslation.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QHostInfo>
#include <QJsonDocument>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextEdit>

using namespace tavrin;

namespace {

// Values that reach the screens from the server and this machine rather than from the sources: the
// served documents' strings, the machine's name, the product's names (never translated), URLs and paths.
class ForeignValues {
public:
    void addDocument(const QByteArray& json) { addValue(QJsonDocument::fromJson(json).toVariant()); }
    void add(const QString& value) {
        if (!value.isEmpty())
            m_values << value;
    }
    // What is left of `text` once every foreign value is taken out: no letter left, nothing to translate.
    bool covers(const QString& text) const {
        QString rest = text;
        // Values first: a folder with a space in its name would otherwise leave half of it behind.
        QStringList longestFirst = m_values;
        std::sort(longestFirst.begin(), longestFirst.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& value : std::as_const(longestFirst))
            rest.remove(value, Qt::CaseInsensitive); // a caption shows a value in capitals
        static const QRegularExpression urlsAndPaths(QStringLiteral("[a-z]+://\\S+|[~.]?/\\S*"));
        rest.remove(urlsAndPaths);
        return std::none_of(rest.cbegin(), rest.cend(), [](QChar c) { return c.isLetter(); });
    }

private:
    void addValue(const QVariant& value) {
        if (value.typeId() == QMetaType::QVariantMap) {
            const QVariantMap map = value.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                addValue(it.value());
        } else if (value.typeId() == QMetaType::QVariantList) {
            for (const QVariant& item : value.toList())
                addValue(item);
        } else if (value.typeId() == QMetaType::QString) {
            add(value.toString());
            add(shownMoment(value.toString())); // a moment is shown as the language writes dates
        }
    }
    QStringList m_values;
};

// Where a widget sits, for a person to find it: its chain of types (and names) from the screen down.
QString widgetPath(const QWidget* widget, const QWidget* root) {
    QStringList chain;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        QString step = QString::fromLatin1(w->metaObject()->className()).remove(QStringLiteral("tavrin::"));
        if (!w->objectName().isEmpty())
            step += u'#' + w->objectName();
        if (step != u"QWidget" || w == widget)
            chain.prepend(step);
        if (w == root)
            break;
    }
    return chain.join(QStringLiteral(" > "));
}

QString plainText(const QString& text, const QFont& font, int* width) {
    if (!Qt::mightBeRichText(text)) {
        const QFontMetrics metrics(font);
        *width = 0;
        for (const QString& line : text.split(u'\n'))
            *width = std::max(*width, metrics.horizontalAdvance(line));
        return text;
    }
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(text);
    *width = int(std::ceil(document.idealWidth()));
    return document.toPlainText();
}

bool marked(const QString& text) { return text.contains(pseudoOpening) || text.contains(pseudoClosing); }

// The findings on one screen: texts that went past the catalogues, and places too narrow for theirs.
struct Findings {
    QStringList untranslated;
    QStringList tooNarrow;

    void read(const QString& screen, const QWidget* root, const ForeignValues& foreign) {
        const auto check = [&](const QWidget* widget, const QString& what, const QString& text) {
            const QString shown = text.trimmed();
            if (shown.isEmpty() || marked(shown) || foreign.covers(shown))
                return;
            // Once for each place and text: a label's accessible name is its text, and the window's
            // sidebar is on every tab.
            const QString place = widgetPath(widget, root) + QStringLiteral(": \"") + shown + u'"';
            if (m_seen.contains(place))
                return;
            m_seen.insert(place);
            untranslated << QStringLiteral("%1: %2 (%3)").arg(screen, place, what);
        };
        const auto tooNarrowFor = [&](const QWidget* widget, const QString& text, int needed, int has) {
            tooNarrow << QStringLiteral("%1: %2: \"%3\" needs %4 px, has %5")
                             .arg(screen, widgetPath(widget, root), text)
                             .arg(needed)
                             .arg(has);
        };
        // A text that reaches past the screen's right edge is cut off there, however wide its own place.
        const auto pastTheEdge = [&](const QWidget* widget, const QString& text) {
            const int right = widget->mapTo(root, QPoint(widget->width(), 0)).x();
            if (!text.isEmpty() && right > root->width())
                tooNarrow << QStringLiteral("%1: %2: \"%3\" reaches %4 px past the screen's edge")
                                 .arg(screen, widgetPath(widget, root), text)
                                 .arg(right - root->width());
        };
        QList<const QWidget*> widgets{root};
        for (const QWidget* w : root->findChildren<QWidget*>())
            if (w->isVisibleTo(root))
                widgets << w;
        for (const QWidget* widget : std::as_const(widgets)) {
            if (const auto* label = qobject_cast<const QLabel*>(widget)) {
                int needed = 0;
                const QString text = plainText(label->text(), label->font(), &needed);
                check(widget, QStringLiteral("text"), text);
                if (!label->wordWrap() && !text.isEmpty() && needed > label->contentsRect().width() + 1)
                    tooNarrowFor(widget, text, needed, label->contentsRect().width());
                pastTheEdge(widget, text);
            }
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                check(widget, QStringLiteral("text"), button->text());
                // A button that wraps its words (a mode card) lays them out in the width it is given.
                if (!button->text().isEmpty() && !button->hasHeightForWidth() &&
                    button->sizeHint().width() > button->width())
                    tooNarrowFor(widget, button->text(), button->sizeHint().width(), button->width());
                pastTheEdge(widget, button->text());
            }
            if (const auto* field = qobject_cast<const QLineEdit*>(widget))
                check(widget, QStringLiteral("placeholder"), field->placeholderText());
            if (const auto* editor = qobject_cast<const QPlainTextEdit*>(widget))
                check(widget, QStringLiteral("placeholder"), editor->placeholderText());
            if (const auto* editor = qobject_cast<const QTextEdit*>(widget))
                check(widget, QStringLiteral("placeholder"), editor->placeholderText());
            check(widget, QStringLiteral("tooltip"), widget->toolTip());
            // What a screen reader says, the painted parts of the kit's widgets included. A field's
            // value is what the user or the server put there, not the product's words.
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget));
            if (!face)
                continue;
            check(widget, QStringLiteral("accessible name"), face->text(QAccessible::Name));
            check(widget, QStringLiteral("accessible description"), face->text(QAccessible::Description));
            for (int i = 0; i < face->childCount(); ++i) {
                QAccessibleInterface* child = face->child(i);
                if (!child || (child->object() && child->object()->isWidgetType()))
                    continue;
                check(widget, QStringLiteral("accessible name of part %1").arg(i), child->text(QAccessible::Name));
                check(widget, QStringLiteral("accessible description of part %1").arg(i),
                      child->text(QAccessible::Description));
            }
        }
    }

    QString report() const {
        QString text;
        for (const auto& [found, what] : {std::pair(&untranslated, "texts without pseudo marks (not through the catalogues)"),
                                          std::pair(&tooNarrow, "places too narrow for their text")})
            if (!found->isEmpty())
                text += QStringLiteral("%1 %2:\n  %3\n").arg(found->size()).arg(what, found->join(QStringLiteral("\n  ")));
        return text;
    }

private:
    QSet<QString> m_seen;
};

// Every record the screen's editors load has come: no loading part left in view.
bool loaded(const QWidget* screen) {
    const auto editors = screen->findChildren<RecordEditorBase*>();
    return std::none_of(editors.begin(), editors.end(), [&](const RecordEditorBase* editor) {
        if (!editor->isVisibleTo(screen))
            return false;
        const auto wheels = editor->findChildren<TRProgressIndicator*>();
        return std::any_of(wheels.begin(), wheels.end(), [&](const QWidget* w) { return w->isVisibleTo(screen); });
    });
}

// Lets a screen that was just shown or changed lay itself out and take in what it was handed.
void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        settleLayouts();
    }
}

} // namespace

class PseudoLocaleTest : public QObject, protected StatusFixture {
    Q_OBJECT
    ForeignValues m_foreign;
    // The pseudo-language by default; run again in a real language (TAVRIN_SCREEN_LANGUAGE=de), the
    // same walk looks for places too narrow for its words and leaves each screen as a picture for a
    // person to read. A real language may rightly keep an English word, so only the pseudo-language
    // can tell a text that went past the catalogues.
    QString m_language;

    static std::vector<std::pair<QByteArray, QByteArray>> records() {
        ClientNetworkPreferences network{QStringLiteral("0.0.0.0"), 11434, true, QStringLiteral("tavrin-ada"),
                                         {QStringLiteral("https://intranet.example")}, {QStringLiteral("192.168.1.0/24")}};
        ClientAuditLoggingSettings logging{ClientAuditMode::audit, 30, false};
        ClientOrgPreambleResponse preamble{QStringLiteral("Answer as the harbour office does."), 4000};
        ClientUpdaterStatus updates;
        updates.enabled = true;
        updates.channel = QStringLiteral("stable");
        updates.current = QStringLiteral("1.4.2");
        updates.lastCheckedAt = QStringLiteral("2026-12-08T09:00:00Z");
        ClientEngineSettings engine;
        engine.kind = QStringLiteral("openai");
        engine.url = QStringLiteral("http://127.0.0.1:8080/v1");
        engine.model = engine.servedName = QStringLiteral("tide-7b");
        engine.timeoutSeconds = 300;
        return {{QByteArrayLiteral("/admin/network"), encodeJson(network)},
                {QByteArrayLiteral("/admin/settings/logging"), encodeJson(logging)},
                {QByteArrayLiteral("/admin/settings/preamble"), encodeJson(preamble)},
                {QByteArrayLiteral("/admin/updates"), encodeJson(updates)},
                {QByteArrayLiteral("/admin/engine"), encodeJson(engine)}};
    }
    bool pseudo() const { return m_language == u"en_XA"; }

    void expectNoFindings(Findings findings) {
        if (!pseudo())
            findings.untranslated.clear();
        const QString report = findings.report();
        if (!report.isEmpty())
            QFAIL(qPrintable(QStringLiteral("\n") + report));
    }
    void look(QWidget* screen, const QString& name) const {
        if (!pseudo())
            saveScreen(screen, m_language + u'-' + name);
    }

private Q_SLOTS:
    void initTestCase() {
        const InstalledTranslations installed = installTranslations(
            *QCoreApplication::instance(), qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/translations"),
            {m_language = qEnvironmentVariable("TAVRIN_SCREEN_LANGUAGE", QStringLiteral("en_XA"))});
        QCOMPARE(installed.language, m_language);
        QVERIFY2(installed.unreadable.isEmpty(), qPrintable(installed.unreadable.join(u' ')));
        m_foreign.addDocument(test::fullStatusDocument());
        m_foreign.addDocument(test::keyListDocument(1));
        for (const auto& [path, document] : records())
            m_foreign.addDocument(document);
        m_foreign.add(QSysInfo::machineHostName());
        m_foreign.add(QHostInfo::localHostName());
        // Names never translated: the product's, its data folder's, the sidebar's wordmark, and the
        // name of the protocol a LAN address is announced by.
        for (const char* name : {"Tavrin Keldmarch", "tavrin-server", "tavrinctl", "Tavrin Server", "Tavrin", "mDNS"})
            m_foreign.add(QString::fromLatin1(name));
        // What setup's readiness step and the LAN addresses read off this machine.
        const HostFacts host = readLocalHostFacts();
        for (const auto& fact : {host.cpuBrand, host.deviceModel, std::optional(host.osVersion), std::optional(host.hostname)})
            m_foreign.add(fact.value_or(QString()));
        for (const QNetworkInterface& face : QNetworkInterface::allInterfaces())
            m_foreign.add(face.humanReadableName());
    }
    void init() {
        setUp({});
        model->setPollIntervalSeconds(3600); // one poll, by the test
        serve(sampleStatus());
        // The records the tabs load, so that their forms are walked and not only a load error.
        for (const auto& [path, document] : records())
            server->route(path, test::ScriptedResponse::json(200, document));
    }
    void cleanup() {
        QTest::qWait(300); // a poll cycle a screen started may still wait for its answer
        tearDown();
    }

    // The check itself: an English text is found, a marked one is not, nor a value from the server;
    // a label narrower than its text and a button pushed past the edge are found.
    void theCheckFindsUnmarkedTextsAndTextsWithoutRoom() {
        if (!pseudo())
            QSKIP("the check is the same in every language");
        QWidget screen;
        screen.resize(300, 100);
        auto* english = new QLabel(QStringLiteral("Start server"), &screen);
        auto* translated = new QLabel(QCoreApplication::translate("tavrin::TRLoadChart", "queued"), &screen);
        auto* value = new QLabel(QStringLiteral("KELDMARCH-1"), &screen); // the served model, in capitals
        auto* narrow = new QLabel(pseudoTranslation(QStringLiteral("Models")), &screen);
        narrow->setGeometry(0, 40, 10, 20);
        auto* outside = new QPushButton(pseudoTranslation(QStringLiteral("Open")), &screen);
        outside->setGeometry(280, 70, outside->sizeHint().width(), 20);
        for (QLabel* label : {english, translated, value})
            label->adjustSize();
        screen.show();
        Findings findings;
        findings.read(QStringLiteral("sample"), &screen, m_foreign);
        QCOMPARE(findings.untranslated.filter(QStringLiteral("QLabel: \"Start server\"")).size(), 1);
        QCOMPARE(findings.untranslated.size(), 1);
        QCOMPARE(findings.tooNarrow.size(), 2);
        QVERIFY2(findings.tooNarrow[0].contains(pseudoTranslation(QStringLiteral("Models"))), qPrintable(findings.report()));
        QVERIFY2(findings.tooNarrow[1].contains(QStringLiteral("past the screen's edge")), qPrintable(findings.report()));
    }

    void everyTabOfTheWindowSpeaksThePseudoLanguageWithRoomForIt() {
        TestHost host;
        auto* window = new MainWindow(model.get(), adminTabs());
        host.place(window, 1040, 0, 720); // the window's opening size
        Findings findings;
        const auto tabs = adminTabs();
        for (int index = 0; index < int(tabs.size()); ++index) {
            window->select(index);
            settle();
            // A tab that loads a record is read once it has it.
            QTRY_VERIFY_WITH_TIMEOUT(loaded(window), 10000);
            settle();
            findings.read(QStringLiteral("tab %1").arg(index + 1), window, m_foreign);
            // What programs read of a screen (a rendered screen's file name) stays in English.
            QVERIFY2(!marked(tabs[std::size_t(index)].name), qPrintable(tabs[std::size_t(index)].name));
            look(window, QStringLiteral("window-%1").arg(index + 1, 2, 10, QLatin1Char('0')));
        }
        expectNoFindings(findings);
    }

    void theTrayPanelSpeaksThePseudoLanguageWithRoomForIt() {
        auto* panel = new TrayPanel(model.get());
        TestHost host;
        host.place(panel, MBPanel::kWidth, 0, panel->sizeHint().height());
        settle();
        Findings findings;
        findings.read(QStringLiteral("tray panel"), panel, m_foreign);
        look(panel, QStringLiteral("tray-panel"));
        expectNoFindings(findings);
    }

    void everyStepOfSetupSpeaksThePseudoLanguageWithRoomForIt() {
        TestHost host;
        auto* wizard = new FirstRunWizardView(model.get());
        host.place(wizard, 1040, 0, 720); // in the window, at its opening size
        Findings findings;
        for (const WizardStep step : {WizardStep::welcome, WizardStep::readiness, WizardStep::adminSecret,
                                      WizardStep::setupAndStart, WizardStep::done}) {
            wizard->go(step);
            settle();
            if (const auto* secret = wizard->findChild<WizardAdminSecret*>())
                m_foreign.add(secret->secret()); // generated here, shown for the user to keep
            findings.read(QStringLiteral("setup step %1").arg(int(step) + 1), wizard, m_foreign);
            look(wizard, QStringLiteral("setup-%1").arg(int(step) + 1));
        }
        expectNoFindings(findings);
    }
};

int main(int argc, char** argv) { return runKitTests<PseudoLocaleTest>(argc, argv); }
#include "PseudoLocaleTest.moc"
