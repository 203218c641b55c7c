// The panel as a screen reader meets it: the real panel under Xvfb with Qt's accessibility bridge on,
// at-spi2-core's accessibility bus and registry in this test's private session, and a reader's client
// walking every window by index, over and over, while the real reference server starts and stops at
// the reader's own request. The panel must live through it; every control a user can reach must have a
// name and a role and be reachable from the keyboard; the states a reader needs must be there; and what
// a reader's own action does must take effect as a click does, up to the server and the login service.
#include "AtspiClient.h"

#include "base/AdminSecretFile.h"
#include "control/KeychainStore.h"
#include "control/TestBundle.h"
#include "support/Basics.h"
#include "support/HttpProbe.h"
#include "support/ReferenceServer.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/prctl.h>

#include <csignal>
#include <functional>

namespace {

const QString kMainWindow = QStringLiteral("Tavrin Keldmarch");
const QString kGallery = QStringLiteral("Kit gallery");
const QString kTrayPanel = QStringLiteral("Tavrin Keldmarch menu");
const QString kButton = QStringLiteral("push button");
const QString kHeading = QStringLiteral("heading");
const QString kPageTab = QStringLiteral("page tab");
const QString kCheckBox = QStringLiteral("check box");
const QString kRadio = QStringLiteral("radio button");
const QString kLabel = QStringLiteral("label");

void dieWithTheTest() { ::prctl(PR_SET_PDEATHSIG, SIGKILL); }

QString freePort() { return QString::number(tavrin::test::freeLoopbackPort()); }

// What a reader could not use: a control without a name it can say or a role it can announce, or one
// the keyboard cannot reach. Scroll bars are read by their value; a progress bar (the wheel of a tab
// that waits for its server) is named and read, but nothing on it is pressed; menu entries are reached
// through their menus.
QStringList unreadable(const QList<AtspiNode>& nodes) {
    static const QStringList noRole{"unknown", "invalid", "filler", "panel", "redundant object"};
    static const QRegularExpression symbolId(QStringLiteral("^[a-z]+(\\.[a-z0-9]+)+$"));
    QStringList found;
    for (const AtspiNode& node : nodes) {
        const bool control = node.has(AtspiState::focusable) || !node.actions.isEmpty();
        if (!control || !node.has(AtspiState::showing) || node.role == QLatin1String("scroll bar") ||
            node.role == QLatin1String("separator"))
            continue;
        if (node.name.trimmed().isEmpty() || symbolId.match(node.name).hasMatch() || node.name == QLatin1String("Copy"))
            found << QStringLiteral("no name that says what it is: ") + node.describe();
        if (noRole.contains(node.role))
            found << QStringLiteral("no role: ") + node.describe();
        if (!node.has(AtspiState::focusable) && !node.role.contains(QLatin1String("menu")) &&
            node.role != QLatin1String("progress bar"))
            found << QStringLiteral("not reachable from the keyboard: ") + node.describe();
    }
    return found;
}

// The control of that role and name; `showing`: the one a user can see now, where hidden ones share its
// name (a tab not chosen, a closed disclosure).
const AtspiNode* find(const QList<AtspiNode>& nodes, const QString& role, const QString& name, bool showing = false) {
    for (const AtspiNode& node : nodes)
        if (node.role == role && node.name == name && (!showing || node.has(AtspiState::showing)))
            return &node;
    return nullptr;
}
const AtspiNode* shown(const QList<AtspiNode>& nodes, const QString& role, const QString& name) {
    return find(nodes, role, name, true);
}

qsizetype count(const QList<AtspiNode>& nodes, const QString& name) {
    return std::count_if(nodes.begin(), nodes.end(), [&](const AtspiNode& n) { return n.name == name; });
}

bool checked(const AtspiNode* node) { return node && node->has(AtspiState::checked); }

// The server's admin API, read as a client holding its admin password reads it.
struct AdminApi {
    QString port;
    QString secret;

    // A record as it stands ({"keys": [...]} for a bare list); empty when the server does not answer.
    QJsonObject read(const QByteArray& path) const {
        const auto answer =
            tavrin::test::exchange(port.toUShort(), tavrin::test::HttpCall("GET", path).bearer(secret));
        if (!answer || answer->status != 200)
            return {};
        const QJsonDocument document = QJsonDocument::fromJson(answer->body);
        return document.isArray() ? QJsonObject{{"keys", document.array()}} : document.object();
    }
    // Waits until the record at `path` satisfies `holds`.
    bool comesTo(const QByteArray& path, const std::function<bool(const QJsonObject&)>& holds) const {
        const QDeadlineTimer deadline(std::chrono::seconds(30));
        for (; !deadline.hasExpired(); QTest::qWait(100))
            if (holds(read(path)))
                return true;
        return false;
    }
};

} // namespace

class AccessibilityWalkTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_scratch;
    TestBundle m_bundle;
    QProcess m_xvfb;
    QProcess m_panel;
    QProcessEnvironment m_environment;
    std::optional<AtspiClient> m_reader;
    QProcess* m_walked = &m_panel; // the panel whose windows are walked, and its application
    AtspiRef m_app;
    QStringList m_problems; // what every walk found wrong, in any window, at any moment

    // Walks a window of the panel once, noting what is wrong; empty when the window is not there.
    QList<AtspiNode> walk(const QString& window) {
        const auto windows = m_reader->windows(m_app);
        if (!windows.contains(window))
            return {};
        const QList<AtspiNode> nodes = m_reader->walk(windows[window], &m_problems);
        for (const QString& problem : unreadable(nodes))
            if (!m_problems.contains(problem))
                m_problems << problem;
        return nodes;
    }

    // Walks the window again and again until `done` holds for a walk (or the deadline passes).
    QList<AtspiNode> walkUntil(const QString& window, const std::function<bool(const QList<AtspiNode>&)>& done) {
        const QDeadlineTimer deadline(std::chrono::seconds(30));
        QList<AtspiNode> nodes;
        while (m_walked->state() == QProcess::Running && !deadline.hasExpired()) {
            nodes = walk(window);
            if (done(nodes))
                return nodes;
            QTest::qWait(50);
        }
        return {};
    }

    // The main window walked until the control of that role and name shows; the walk that found it.
    QList<AtspiNode> untilShown(const QString& role, const QString& name) {
        return walkUntil(kMainWindow,
                         [&](const QList<AtspiNode>& nodes) { return shown(nodes, role, name) != nullptr; });
    }

    // Performs a control's default action as a reader does, on the control as a walk found it: the one
    // shown, or else an entry of a menu.
    bool act(const QList<AtspiNode>& nodes, const QString& role, const QString& name) {
        const AtspiNode* node = shown(nodes, role, name);
        node = node ? node : find(nodes, role, name);
        return node && m_reader->act(*node);
    }

    // Whether the login service is registered, as the service manager (the scripted systemctl) says.
    bool loginServiceEnabled() const {
        return tavrin::test::runProgram(SCRIPTED_SYSTEMCTL, {"--user", "is-enabled", "com.tavrinai.server.service"}, {},
                                        m_environment).status == 0;
    }

    // Starts a panel and waits until the reader finds it showing `windows`; it is then the one walked.
    bool launch(QProcess& panel, const QProcessEnvironment& environment, const QStringList& arguments,
                const QStringList& windows) {
        panel.setProcessEnvironment(environment);
        panel.setChildProcessModifier(dieWithTheTest);
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(PANEL_UNDER_TEST, arguments);
        m_walked = &panel;
        const QDeadlineTimer deadline(std::chrono::seconds(30));
        for (; panel.waitForStarted(5000) && !deadline.hasExpired(); QTest::qWait(50)) {
            const auto app = m_reader->application(panel.processId());
            const auto shown = app ? m_reader->windows(*app) : QHash<QString, AtspiRef>();
            if (std::all_of(windows.begin(), windows.end(), [&](const QString& w) { return shown.contains(w); })) {
                m_app = *app;
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() {
        m_xvfb.setChildProcessModifier(dieWithTheTest);
        m_xvfb.start("Xvfb", QString("-displayfd 1 -screen 0 1280x900x24 -nolisten tcp").split(' '));
        QVERIFY(m_xvfb.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine(), 10000);
        const QString display = ":" + QString::fromLatin1(m_xvfb.readLine().trimmed());

        // The server the panel starts is the reference server, through a bundle whose server listens
        // on ports of its own and finds no companion model on this machine.
        QVERIFY(tavrin::AdminSecretFile().write(tavrin::test::ReferenceServer::defaultAdminSecret()));
        QVERIFY(QDir().mkpath(m_scratch.filePath("none")));
        QVERIFY(m_bundle.installWrapper(tavrin::test::ReferenceServer::executablePath(),
                                        "--port 0 --model-source '" + m_scratch.filePath("none") + "'"));
        // The login unit start at login installs; the scripted systemctl keeps it in this test's folders.
        QVERIFY(m_bundle.writeUnit("[Service]\nExecStart='" + m_bundle.server().toUtf8() + "' serve\n"));
        const QString adminPort = freePort();

        QString error;
        m_reader = AtspiClient::connect(&error);
        QVERIFY2(m_reader, qPrintable(error));

        QProcessEnvironment& environment = m_environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        // libxkbcommon-x11 strndup()s counted, unterminated X replies, which strict string checks take for
        // an overflow: the panel is the only test program on a real X server, so only it is spared them.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS")
                                               .replace("strict_string_checks=1", "strict_string_checks=0"));
        environment.insert("TAVRIN_ADMIN_PORT", adminPort);
        environment.insert("TAVRIN_SYSTEMCTL", SCRIPTED_SYSTEMCTL);
        environment.insert("SCRIPTED_SYSTEMCTL_STATE", m_scratch.filePath("systemd"));
        environment.insert("XDG_CONFIG_HOME", m_scratch.filePath("config"));
        QVERIFY2(launch(m_panel, environment, {m_bundle.path(), adminPort, m_scratch.path()}, {kMainWindow, kGallery}),
                 "the panel never showed its windows to the reader");
    }

    // Every tab the sidebar lists, chosen the way a reader chooses it, reads well: tabs that land later
    // are walked without a change here.
    void everyTabIsChosenAndReadThroughTheReader() {
        const QList<AtspiNode> first = walk(kMainWindow);
        QStringList tabs;
        for (const AtspiNode& node : first)
            if (node.role == kPageTab)
                tabs << node.name;
        QVERIFY2(tabs.size() >= 8 && tabs.first() == QLatin1String("Status"), qPrintable(tabs.join(", ")));
        QVERIFY(find(first, "page tab list", "Sections"));

        for (const QString& tab : tabs + QStringList{tabs.first()}) {
            QVERIFY2(act(walk(kMainWindow), kPageTab, tab), qPrintable(tab));
            const QList<AtspiNode> shown = walkUntil(kMainWindow, [&](const QList<AtspiNode>& nodes) {
                const AtspiNode* chosen = find(nodes, kPageTab, tab);
                const auto selected = std::count_if(nodes.begin(), nodes.end(),
                                                    [](const AtspiNode& n) { return n.has(AtspiState::selected); });
                const bool heading = std::any_of(nodes.begin(), nodes.end(), [](const AtspiNode& n) {
                    return n.role == kHeading && !n.name.isEmpty();
                });
                return chosen && chosen->has(AtspiState::selectable) && chosen->has(AtspiState::selected) &&
                       selected == 1 && heading;
            });
            QVERIFY2(!shown.isEmpty(), qPrintable(tab + " was never shown as the one selected tab with a heading"));
        }
        QVERIFY2(m_problems.isEmpty(), qPrintable(m_problems.join('\n')));
    }

    // Start and stop, twice, with nothing but the reader: each press is an accessibility action, and the
    // window is walked over and over while the phase, and with it the page's height, changes.
    void theServerStartsAndStopsThroughTheReaderAlone() {
        for (int round = 0; round < 2; ++round) {
            QVERIFY(act(walk(kMainWindow), kButton, "Start server"));
            QList<AtspiNode> live = walkUntil(kMainWindow, [](const QList<AtspiNode>& nodes) {
                return find(nodes, kHeading, "Your Tavrin server is live.") && find(nodes, kButton, "Stop server") &&
                       find(nodes, kButton, "Technical details");
            });
            QVERIFY2(!live.isEmpty(), "the reader never heard the server run");
            // The toolbar's chip is read once, with what it is about.
            QCOMPARE(count(live, "Server: Running"), 1);
            QCOMPARE(count(live, "Running"), 1); // the phase written large, nothing more
            QVERIFY(find(live, kButton, "Copy localhost endpoint"));

            // The disclosure keeps its state across a stop: the first round opens it, the second closes it.
            const bool opening = round == 0;
            const AtspiNode* details = find(live, kButton, "Technical details");
            QVERIFY2(details->has(AtspiState::expandable) && details->has(AtspiState::expanded) != opening &&
                         details->has(AtspiState::collapsed) == opening,
                     qPrintable(QString::number(details->states, 2)));
            QVERIFY(m_reader->act(*details));
            live = walkUntil(kMainWindow, [opening](const QList<AtspiNode>& nodes) {
                const AtspiNode* now = find(nodes, kButton, "Technical details");
                const AtspiNode* copy = find(nodes, kButton, "Copy PID");
                const bool copyShown = copy && copy->has(AtspiState::showing);
                return now && now->has(AtspiState::expanded) == opening && now->has(AtspiState::collapsed) != opening &&
                       copyShown == opening;
            });
            QVERIFY2(!live.isEmpty(), opening ? "the technical details never read as expanded"
                                              : "the technical details never read as collapsed");

            if (round == 0) { // the tray panel, from the File menu: its painted figures are heard
                QVERIFY(act(live, "menu item", "Show Status Panel"));
                const QList<AtspiNode> panel = walkUntil(kTrayPanel, [](const QList<AtspiNode>& nodes) {
                    const AtspiNode* uptime = find(nodes, "label", "Uptime");
                    return uptime && uptime->description.endsWith('m');
                });
                QVERIFY2(!panel.isEmpty(), "the tray panel's figures were never heard");
                QVERIFY(find(panel, kButton, "Stop server"));
            }

            QVERIFY(act(live, kButton, "Stop server"));
            const auto stopped = [](const QList<AtspiNode>& nodes) {
                return find(nodes, kHeading, "Your server is stopped.") && count(nodes, "Server: Stopped") == 1;
            };
            QVERIFY2(!walkUntil(kMainWindow, stopped).isEmpty(), "the reader never heard the server stop");
        }
        QCOMPARE(m_panel.state(), QProcess::Running);
        QVERIFY2(m_problems.isEmpty(), qPrintable(m_problems.join('\n')));
    }

    // What a reader does takes effect as a click does, up to the login service: start at login, worked
    // by its own default action ("Toggle"), registers it, and its removal is asked in a dialog the reader
    // walks and answers. (That every kind of control does on a reader's action what a click does is the
    // kit gallery's test; what a click does on each tab, that tab's.)
    void theReadersActionsTakeEffectAsClicksDo() {
        QVERIFY(act(walk(kMainWindow), kButton, "Start server"));
        QVERIFY2(!untilShown(kHeading, "Your Tavrin server is live.").isEmpty(), "the server never ran");
        QList<AtspiNode> status = untilShown(kCheckBox, "Start at login");
        QVERIFY(!checked(shown(status, kCheckBox, "Start at login")) && !loginServiceEnabled());
        QVERIFY(act(status, kCheckBox, "Start at login"));
        status = walkUntil(kMainWindow, [](const QList<AtspiNode>& nodes) {
            return checked(shown(nodes, kCheckBox, "Start at login")) &&
                   shown(nodes, kLabel, "systemd will start the Tavrin server every time you sign in.") &&
                   shown(nodes, kButton, "Remove login service…");
        });
        QVERIFY2(!status.isEmpty(), "start at login never read as on, with its removal offered");
        QVERIFY2(loginServiceEnabled(), "the login service was not registered");

        const QString question = "Stop the Tavrin server and remove its login service?";
        const auto asked = [&] {
            return act(status, kButton, "Remove login service…") ? walkUntil(question, [](const QList<AtspiNode>& nodes) {
                return shown(nodes, kButton, "Remove") && shown(nodes, kButton, "Cancel");
            }) : QList<AtspiNode>();
        };
        QList<AtspiNode> dialog = asked();
        QVERIFY2(!dialog.isEmpty(), "the removal was never asked");
        QVERIFY(shown(dialog, kLabel,
                      "The server will stop and its login service will be deleted. You'll need to "
                      "re-run setup to bring it back."));
        QVERIFY(act(dialog, kButton, "Cancel"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_reader->windows(m_app).contains(question), 10000);
        QVERIFY2(loginServiceEnabled(), "Cancel removed the login service");
        dialog = asked();
        QVERIFY2(!dialog.isEmpty(), "the removal was never asked again");
        QVERIFY(act(dialog, kButton, "Remove"));
        status = walkUntil(kMainWindow, [](const QList<AtspiNode>& nodes) {
            return shown(nodes, kCheckBox, "Start at login") &&
                   !checked(shown(nodes, kCheckBox, "Start at login")) &&
                   !shown(nodes, kButton, "Remove login service…") && find(nodes, kHeading, "Your server is stopped.");
        });
        QVERIFY2(!status.isEmpty(), "start at login never read as off, with the server stopped, after the removal");
        QVERIFY2(!loginServiceEnabled(), "the login service is still registered");
        QVERIFY2(m_problems.isEmpty(), qPrintable(m_problems.join('\n')));
    }

    // Every component of the kit, in each of its states, as the gallery shows them.
    void theKitReadsWellInEveryState() {
        const QList<AtspiNode> kit = walk(kGallery);
        QVERIFY(kit.size() > 100);
        QVERIFY(find(kit, kButton, "Download & verify"));
        QVERIFY(find(kit, kHeading, "Start at login"));
        QVERIFY(find(kit, "label", "tvn_live_4f2a9c1e7b3d48a0b6e5c2d9f1a7e3b8c4d6a2f0"));
        const AtspiNode* open = find(kit, kButton, "Advanced — CORS & IP allowlist");
        QVERIFY(open && open->has(AtspiState::expanded) && !open->has(AtspiState::collapsed));
        const AtspiNode* on = find(kit, "radio button", "Just this computer");
        const AtspiNode* off = find(kit, "radio button", "My whole network");
        QVERIFY(on && off && on->has(AtspiState::checked) && !off->has(AtspiState::checked));
        QVERIFY2(m_problems.isEmpty(), qPrintable(m_problems.join('\n')));
    }

    // A first launch on this machine as it is, in a panel of its own: no settings, no admin password, the
    // companion's sample model in its user folder. Every step of setup is read, and left by the reader's
    // press alone, up to the server started from setup and the main window it opens on; the admin
    // password, the first key and the command to try it are read whole, and the whole network is chosen,
    // by the reader alone. Then each is checked where it ended up: the password where only this user
    // reads it, the server run by the panel, the key working with the command shown for it.
    void aFirstLaunchIsSetUpThroughTheReaderAlone() {
        const QString home = m_scratch.filePath("first-launch");
        const QString server = tavrin::test::ReferenceServer::executablePath();
        QCOMPARE(QProcess::execute(server, {"make-sample-bundle", home + "/data/tavrin-ai/resources"}), 0);
        QProcessEnvironment environment = m_environment;
        environment.insert("XDG_CONFIG_HOME", home + "/config");
        environment.insert("XDG_DATA_HOME", home + "/data");
        const QString adminPort = freePort();
        environment.insert("TAVRIN_ADMIN_PORT", adminPort);
        QProcess firstLaunch;
        const auto ended = qScopeGuard([&, app = m_app] {
            firstLaunch.terminate(); // the server it started ends with it
            firstLaunch.waitForFinished(10000);
            m_walked = &m_panel;
            m_app = app;
        });
        QVERIFY(launch(firstLaunch, environment, {m_bundle.path(), adminPort, home, "first-launch"},
                       {kMainWindow}));

        const struct { QString heading, ready, forward; } steps[] = {
            {"BUILD YOUR OWN KELDMARCH AI.", "Begin setup →", "Begin setup →"},
            {"Let's make sure this computer is up to it.", "Continue →", "Continue →"},
            {"An admin password, just for this computer.", "Save & continue →", "Save & continue →"},
            {"Choose how it runs, then start it.", "Start Tavrin Keldmarch", "Start Tavrin Keldmarch"},
            {"YOUR SERVER IS LIVE.", "Copy first API key", "Open Tavrin Keldmarch →"}};
        QString password, firstKey, command; // as the reader reads them
        for (const auto& [heading, ready, forward] : steps) {
            const QList<AtspiNode> step = walkUntil(kMainWindow, [&](const QList<AtspiNode>& nodes) {
                const AtspiNode* button = find(nodes, kButton, ready);
                return find(nodes, kHeading, heading) && button && button->has(AtspiState::enabled) &&
                       button->has(AtspiState::showing);
            });
            QVERIFY2(!step.isEmpty(), qPrintable(heading + " was never read with " + ready + " to press"));
            // A secret shown is read whole through the text interface, not only copied.
            if (const AtspiNode* secret = shown(step, kLabel, "Admin password"))
                password = m_reader->text(*secret).value_or(QString());
            if (const AtspiNode* key = shown(step, kLabel, "First API key"))
                firstKey = m_reader->text(*key).value_or(QString());
            for (const AtspiNode& node : step)
                if (node.role == kLabel && node.name.startsWith("curl ") && node.has(AtspiState::showing))
                    command = m_reader->text(node).value_or(node.name);
            // The whole network, chosen by the reader's action on its card.
            if (shown(step, kRadio, "My whole network")) {
                QVERIFY(act(step, kRadio, "My whole network"));
                const auto chosen = [](const QList<AtspiNode>& nodes) {
                    return checked(shown(nodes, kRadio, "My whole network")) &&
                           !checked(shown(nodes, kRadio, "Just this computer"));
                };
                QVERIFY2(!walkUntil(kMainWindow, chosen).isEmpty(), "the whole network never read as chosen");
            }
            QVERIFY(act(step, kButton, forward));
        }
        const auto onStatus = [](const QList<AtspiNode>& nodes) {
            return find(nodes, kPageTab, "Status") && find(nodes, kHeading, "Your Tavrin server is live.");
        };
        QVERIFY2(!walkUntil(kMainWindow, onStatus).isEmpty(),
                 "setup never gave way to the main window on Status");

        // What the reader read and chose is what the server holds: the admin password lets it in, the
        // whole network was sent, and the first key is that of the key setup made, all of it.
        QVERIFY2(password.size() >= 16, qPrintable("the admin password read as '" + password + "'"));
        const AdminApi firstServer{adminPort, password};
        QVERIFY2(firstServer.comesTo("/admin/network",
                                     [](const QJsonObject& saved) {
                                         return saved.value("lanEnabled").toBool() &&
                                                saved.value("bindHost") == "0.0.0.0";
                                     }),
                 "the whole network the reader chose never reached the server");
        const QJsonArray keys = firstServer.read("/admin/keys").value("keys").toArray();
        QCOMPARE(keys.size(), 1);
        QCOMPARE(keys.first().toObject().value("label").toString(), "First key");
        const QString prefix = keys.first().toObject().value("prefix").toString();
        QVERIFY2(!prefix.isEmpty() && firstKey.startsWith(prefix) && firstKey.size() > prefix.size() + 16 &&
                     !firstKey.contains("…"),
                 qPrintable("the first key read as '" + firstKey + "', its prefix is '" + prefix + "'"));

        // The password is kept where only this user reads it: the keychain, and the server's file, 0600.
        const QString secretFile =
            tavrin::AdminSecretFile(tavrin::StateFolder::pathIn(environment.toStringList())).path();
        QCOMPARE(tavrin::test::fileBytes(secretFile), password.toUtf8());
        QCOMPARE(tavrin::test::modeOf(secretFile), mode_t(0600));
        auto stored = tavrin::KeychainStore().load(tavrin::KeychainAccount::adminSecret);
        stored.waitForFinished();
        QCOMPARE(stored.result(), std::optional(password));
        // The server setup started is the panel's own child, and the command shown works as pasted.
        const qint64 pid = firstServer.read("/admin/status").value("pid").toInteger();
        QVERIFY(tavrin::test::fileBytes(QStringLiteral("/proc/%1/status").arg(pid))
                    .contains(QStringLiteral("PPid:\t%1\n").arg(firstLaunch.processId()).toUtf8()));
        QVERIFY2(command.endsWith("-H \"Authorization: Bearer " + firstKey + "\""), qPrintable(command));
        const auto curl = tavrin::test::runProgram("bash", {"-c", command + " --fail --silent --show-error"});
        QVERIFY2(curl.status == 0 && curl.out.contains("\"object\":\"list\""), curl.err.constData());
        QVERIFY2(m_problems.isEmpty(), qPrintable(m_problems.join('\n')));
        QCOMPARE(firstLaunch.state(), QProcess::Running);
    }

    void cleanupTestCase() {
        // Blocking reader calls leave the test's event loop idle, so the panel's end is asked for here.
        const bool survived = !m_panel.waitForFinished(0) && m_panel.state() == QProcess::Running;
        m_panel.terminate(); // the server it started ends with it
        m_panel.waitForFinished(10000);
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
        // A panel that died on the way is the one failure the walk exists to find.
        QVERIFY2(survived, qPrintable(QStringLiteral("the panel ended: %1, exit code %2")
                                          .arg(m_panel.exitStatus() == QProcess::CrashExit ? "crashed" : "exited")
                                          .arg(m_panel.exitCode())));
    }
};

QTEST_GUILESS_MAIN(AccessibilityWalkTest)
#include "AccessibilityWalkTest.moc"
