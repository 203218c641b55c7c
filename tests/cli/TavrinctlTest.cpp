// tavrinctl as a user runs it: the program itself against the real reference server, judged by its
// standard streams, its exit status and what it leaves behind. What the state layer's actions do is
// tested where they live; here, what the tool adds: the command line, where each answer goes, the
// panel's words, the exit statuses, streaming, and a server started by one run and stopped by the next.
#include "base/PrivateFile.h"
#include "cli/CommandHelp.h"
#include "control/TestBundle.h"
#include "protocol/DaemonClient.h"
#include "support/Basics.h"
#include "support/HttpProbe.h"
#include "support/RecordedRequests.h"
#include "support/ReferenceServer.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

using namespace tavrin;

namespace {

using test::Ran;

QJsonValue jsonOf(const QByteArray& out) {
    const QJsonDocument document = QJsonDocument::fromJson(out);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

QString freePort() { return QString::number(test::freeLoopbackPort()); }

// The first of `held`'s fields that `record` does not hold as given (a null one: absent there); none
// when all are.
QString differingField(const QJsonObject& record, const QJsonObject& held) {
    for (auto field = held.begin(); field != held.end(); ++field)
        if (field->isNull() ? record.contains(field.key()) : record[field.key()] != *field)
            return field.key();
    return {};
}

int statusOfModels(quint16 port, const QString& key) {
    const auto answer = test::exchange(port, test::HttpCall("GET", "/v1/models").bearer(key));
    return answer ? answer->status : -1;
}

} // namespace

class TavrinctlTest : public QObject {
    Q_OBJECT
    test::ReferenceServer server;
    QTemporaryDir scratch;
    QProcessEnvironment tool; // the server's state folder and admin port

    Ran run(const QStringList& arguments, const QByteArray& input = {},
            const QProcessEnvironment& environment = {}, const QString& program = {}) {
        return test::runProgram(program.isEmpty() ? qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/bin/tavrinctl" : program,
                                arguments, input, environment.isEmpty() ? tool : environment);
    }
    QJsonValue read(const QStringList& arguments) { return jsonOf(run(arguments + QStringList{"--json"}).out); }
    // The tool's environment, aimed at another admin port and state folder.
    QProcessEnvironment toolFor(const QString& adminPort, const QString& stateFolder) const {
        QProcessEnvironment environment = tool;
        environment.insert("TAVRIN_ADMIN_PORT", adminPort);
        environment.insert("TAVRIN_STATE_DIR", stateFolder);
        return environment;
    }

    // The tool's environment, read by a person of that language.
    static QProcessEnvironment inLanguage(QProcessEnvironment environment, const QString& language,
                                          const QString& locale) {
        environment.remove("LC_ALL");
        environment.remove("LC_MESSAGES");
        environment.insert("LANGUAGE", language);
        environment.insert("LANG", locale);
        return environment;
    }

private Q_SLOTS:
    void initTestCase() {
        const auto started = server.start();
        TAVRIN_REQUIRE(started);
        tool = QProcessEnvironment::systemEnvironment();
        tool.insert("TAVRIN_STATE_DIR", server.stateDirectory());
        tool.insert("TAVRIN_ADMIN_PORT", QString::number(server.adminPort()));
        tool.insert("TMPDIR", scratch.path());
        QVERIFY(makeDirectories(scratch.filePath("other")) &&
                writeFilePrivately(scratch.filePath("other/admin.secret"), "not the password"));
    }

    // The secret alone on standard output, so that KEY=$(…) keeps it; a key named by its id or label.
    void aKeyIsMadeUsedRotatedRevokedAndDeleted() {
        const Ran made = run({"keys", "create", "ci", "--scope", "inference"});
        QCOMPARE(made.status, 0);
        const QByteArray secret = made.out.trimmed();
        QVERIFY(made.out == secret + '\n' && !secret.contains(' '));
        QVERIFY2(made.err.contains("“ci”"), made.err.constData());
        QCOMPARE(statusOfModels(server.port(), secret), 200);
        const QJsonObject listed = read({"keys", "list"}).toArray().at(0).toObject();
        QCOMPARE(listed["label"].toString(), "ci");
        QCOMPARE(listed["scopes"].toArray(), QJsonArray{"inference"});

        const Ran rotated = run({"keys", "rotate", "ci"});
        QCOMPARE(rotated.status, 0);
        const QByteArray renewed = rotated.out.trimmed();
        QVERIFY(renewed != secret && rotated.out == renewed + '\n');
        QCOMPARE(statusOfModels(server.port(), secret), 401);
        QCOMPARE(statusOfModels(server.port(), renewed), 200);

        QCOMPARE(run({"keys", "revoke", listed["id"].toString()}).status, 0);
        QCOMPARE(statusOfModels(server.port(), renewed), 401);
        QCOMPARE(run({"keys", "delete", "ci"}).status, 0);
        QCOMPARE(read({"keys", "list"}).toArray(), QJsonArray());
    }

    // Streamed whole, to a file (replaced only once complete) and to a pipe, leaving no part behind.
    void theAuditLogStreamsToAFileAndToAPipe() {
        const auto recorded = test::recordChatRequests(server, 3, QStringLiteral("What is the tide at Porto?"));
        TAVRIN_REQUIRE(recorded);
        const auto client = server.client();
        const QByteArray audit = QCoro::waitFor(client->exportAuditJSONL(true)).value();
        const QByteArray usage = QCoro::waitFor(client->exportAuditCSV()).value();
        QVERIFY(audit.contains("What is the tide at Porto?"));

        const QString file = scratch.filePath("audit.jsonl");
        const Ran saved = run({"export", "jsonl", "--include-contents", "-o", file});
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.out, "Saved audit.jsonl\n");
        QCOMPARE(test::fileBytes(file), audit);
        const Ran piped = run({"export", "csv"});
        QCOMPARE(piped.status, 0);
        QCOMPARE(piped.out, usage);
        QCOMPARE(piped.err, QByteArray()); // no progress into a pipe's neighbour
        QCOMPARE(run({"export", "jsonl", "--output=-", "--include-contents"}).out, audit);
        QCOMPARE(QDir(scratch.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());

        // On a terminal, progress while a file is written; none beside an export going to standard output.
        const QString tavrinctl = qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/bin/tavrinctl";
        const auto onTerminal = [&](const QString& command) {
            return run({"-qec", command, "/dev/null"}, {}, {}, "script").out;
        };
        QVERIFY(onTerminal(tavrinctl + " export csv -o " + scratch.filePath("usage.csv")).contains("Downloading…"));
        QVERIFY(!onTerminal(tavrinctl + " export csv | cat").contains("Downloading"));
    }

    // Each set is read back as the server holds it, with the panel's word on what became of it.
    void everySettingIsSetAndReadBack_data() {
        QTest::addColumn<QStringList>("set");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<QStringList>("show");
        QTest::addColumn<QJsonObject>("held"); // null: absent
        const QString port = freePort();
        QTest::newRow("logging") << QStringList{"logging", "set", "--mode", "hash", "--retention", "90", "--include-contents", "on"}
                                 << QByteArray() << QByteArray("Saved.\n") << QStringList{"logging", "show"}
                                 << QJsonObject{{"mode", "hash"}, {"retentionDays", 90}, {"includePromptContentsInDiagnostics", true}};
        QTest::newRow("network") << QStringList{"network", "set", "--lan", "on", "--port", port, "--mdns", "studio",
                                                "--cors", "https://a.example, https://b.example", "--allow", "127.0.0.1"}
                                 << QByteArray() << QByteArray("Saved. Restart the server to apply.\n") << QStringList{"network", "show"}
                                 << QJsonObject{{"lanEnabled", true}, {"bindHost", "0.0.0.0"}, {"bindPort", port.toInt()},
                                                {"mdnsName", "studio"}, {"corsAllowedOrigins", QJsonArray{"https://a.example", "https://b.example"}},
                                                {"ipAllowlist", QJsonArray{"127.0.0.1"}}};
        QTest::newRow("network back") << QStringList{"network", "set", "--lan", "off", "--no-mdns", "--cors", "", "--allow", ""}
                                      << QByteArray() << QByteArray("Saved. Restart the server to apply.\n") << QStringList{"network", "show"}
                                      << QJsonObject{{"lanEnabled", false}, {"bindHost", "127.0.0.1"}, {"mdnsName", QJsonValue()},
                                                     {"corsAllowedOrigins", QJsonArray()}, {"ipAllowlist", QJsonArray()}};
        QTest::newRow("preamble from standard input") << QStringList{"preamble", "set", "-"} << QByteArray("Réponds en français.\n")
                                                      << QByteArray("Preamble saved. Future requests will include it.\n")
                                                      << QStringList{"preamble", "show"} << QJsonObject{{"preamble", "Réponds en français."}};
        QTest::newRow("preamble cleared") << QStringList{"preamble", "clear"} << QByteArray() << QByteArray("Preamble cleared.\n")
                                          << QStringList{"preamble", "show"} << QJsonObject{{"preamble", QJsonValue()}};
    }
    void everySettingIsSetAndReadBack() {
        QFETCH(QStringList, set);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, show);
        QFETCH(QJsonObject, held);
        const Ran changed = run(set, input);
        QVERIFY2(changed.status == 0, changed.err.constData());
        QTEST(changed.out, "said");
        QCOMPARE(differingField(read(show).toObject(), held), QString());
    }

    // The records a script reads, as JSON; a person reads the preamble alone and a bundle where it is.
    void whatIsReadComesAsTheServersRecords() {
        QCOMPARE(read({"status"})["pid"].toInteger(), server.pid());
        QVERIFY(read({"models", "show"}).toObject().contains("pinState"));
        QVERIFY(read({"updates", "show"}).toObject().contains("current"));
        QVERIFY(run({"preamble", "set", "Cite sources."}).status == 0);
        QCOMPARE(run({"preamble", "show"}).out, "Cite sources.\n");
        const QString copy = scratch.filePath("bundle.zip");
        const QJsonObject bundle = read({"bundle", "-o", copy}).toObject();
        QCOMPARE(test::fileBytes(copy), test::fileBytes(bundle["bundlePath"].toString()));
        QVERIFY(test::fileBytes(copy).startsWith("PK"));
    }

    // Which engine serves and whether it answers, the built-in one put back, and a try through it.
    void theEngineIsShownSetAndTried() {
        QVERIFY(run({"engine", "show"}).out.contains("built-in echo engine"));

        // An OpenAI-compatible engine, its key file named from the folder the tool runs in; a later set
        // changes what it names and keeps the rest.
        test::ScriptedHttpServer upstream;
        const QString url = upstream.baseUrl().toString() + "/v1";
        QVERIFY(writeFilePrivately(scratch.filePath("engine.key"), "sk-from-the-terminal"));
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(scratch.path()));
        const Ran pointed = run({"engine", "set", "--url", url, "--model", "tide-7b", "--key-file", "engine.key"});
        QVERIFY(QDir::setCurrent(folder));
        QVERIFY2(pointed.status == 0, pointed.err.constData());
        QCOMPARE(pointed.out, "Saved. New requests go to the engine serving tide-7b at " + url.toUtf8() + ".\n");
        QCOMPARE(run({"engine", "set", "--model", "tide-8b", "--served-name", "office", "--timeout", "60"}).status, 0);
        const QJsonObject upstreamShown = read({"engine", "show"}).toObject();
        QCOMPARE(differingField(upstreamShown, {{"kind", "openai"}, {"url", url}, {"model", "tide-8b"}, {"servedName", "office"},
                                                {"keyFile", scratch.filePath("engine.key")}, {"timeoutSeconds", 60}}),
                 QString());
        QVERIFY(upstreamShown.contains("reachable"));
        QVERIFY(!run({"engine", "show"}).out.contains("sk-from-the-terminal"));

        const Ran set = run({"engine", "set", "--builtin"});
        QVERIFY2(set.status == 0, set.err.constData());
        QCOMPARE(set.out, "Saved. New requests go to the built-in echo engine.\n");

        const Ran tried = run({"engine", "test"});
        QVERIFY2(tried.status == 0 && tried.out.startsWith("First token") && tried.out.contains("\"Say hello.\""),
                 tried.out.constData());
        const QJsonObject timed = read({"engine", "test"}).toObject();
        QVERIFY(timed.contains("firstPieceMilliseconds") && timed["answer"].toString().contains("Say hello."));
    }

    void eachFailureHasItsStatusAndThePanelsWords_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("variable"); // set for this run; "NAME=value"
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // standard error's start
        const QString nobody = "TAVRIN_ADMIN_PORT=" + freePort();
        QTest::newRow("a stopped server") << QStringList{"keys", "list"} << nobody << 3 << "Tavrin Keldmarch is not reachable: ";
        QTest::newRow("a wrong password") << QStringList{"network", "show"} << "TAVRIN_STATE_DIR=" + scratch.filePath("other")
                                          << 4 << "Admin secret missing or rejected. Set it in Settings.\n";
        QTest::newRow("refused by the server") << QStringList{"logging", "set", "--retention", "0"} << QString() << 1
                                               << "Server returned HTTP 400: retentionDays must be at least 1\n";
        QTest::newRow("no such key") << QStringList{"keys", "revoke", "laptop"} << QString() << 1
                                     << "No key has the id or label “laptop”.\n";
        QTest::newRow("a label of two keys") << QStringList{"keys", "delete", "twin"} << QString() << 1 << "2 keys have the label “twin”";
        QTest::newRow("a check without a feed") << QStringList{"updates", "check", "--json"} << QString() << 1
                                                << "no update feed is configured";
        QTest::newRow("a preamble over the limit") << QStringList{"preamble", "set", QString(5000, 'x')} << QString() << 1
                                                   << "5000 / 2000 characters: the preamble is too long.\n";
        QTest::newRow("a missing label") << QStringList{"keys", "create"} << QString() << 2 << "tavrinctl: LABEL is missing\n";
        QTest::newRow("no number") << QStringList{"network", "set", "--port", "80a"} << QString() << 2
                                   << "tavrinctl: --port takes a whole number, not \"80a\"\n";
        QTest::newRow("no choice") << QStringList{"logging", "set", "--mode", "loud"} << QString() << 2
                                   << "tavrinctl: --mode takes none, privacy, hash or audit, not \"loud\"\n";
        QTest::newRow("nothing to change") << QStringList{"network", "set"} << QString() << 2 << "tavrinctl: nothing to change";
        QTest::newRow("contents in the CSV") << QStringList{"export", "csv", "--include-contents"} << QString() << 2
                                             << "tavrinctl: prompt contents go into the jsonl export only\n";
        QTest::newRow("no command") << QStringList{"kees", "list"} << QString() << 2 << "tavrinctl: no command \"kees\"\n";
        QTest::newRow("built in and elsewhere") << QStringList{"engine", "set", "--builtin", "--url", "http://127.0.0.1:8080/v1"}
                                                << QString() << 2 << "tavrinctl: --builtin and --url contradict each other\n";
        QTest::newRow("no admin port") << QStringList{"status"} << "TAVRIN_ADMIN_PORT=0" << 2 << "tavrinctl: TAVRIN_ADMIN_PORT is no port";
    }
    void eachFailureHasItsStatusAndThePanelsWords() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, variable);
        QFETCH(int, status);
        QFETCH(QString, said);
        if (QTest::currentDataTag() == QLatin1String("a label of two keys"))
            QVERIFY(run({"keys", "create", "twin"}).status == 0 && run({"keys", "create", "twin"}).status == 0);
        QProcessEnvironment environment = tool;
        if (!variable.isEmpty())
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        const Ran ran = run(arguments, {}, environment);
        QVERIFY2(ran.err.startsWith(said.toUtf8()), ran.err.constData());
        QCOMPARE(ran.status, status);
    }

    // Texts a server chooses reach a terminal without a control character, told as a failure or
    // listed; --json keeps them, escaped.
    void noServerTextReachesTheTerminalAsControls() {
        QTemporaryDir root;
        QVERIFY(writeFilePrivately(root.filePath("admin.secret"), "s3cret"));
        test::ScriptedHttpServer impostor;
        const QByteArray title = "\x1b]0;pwned\x07", clear = "\x1b[2J";
        impostor.route("/admin/status", test::ScriptedResponse::text(500, title + "broken" + clear + "\xc2\x9b" + "6n\r"));
        impostor.route("/admin/keys", test::ScriptedResponse::json(200, test::keyListDocument(1).replace(
                                                                            "Build farm 0", R"(\u001b]0;pwned\u0007evil\u001b[2J\u009b)")));
        const QProcessEnvironment environment = toolFor(QString::number(impostor.port()), root.path());
        const Ran failed = run({"status"}, {}, environment);
        QVERIFY2(failed.err.contains("Server returned HTTP 500: broken6n\n"), failed.err.constData());
        const Ran listed = run({"keys", "list"}, {}, environment);
        QVERIFY2(listed.status == 0 && listed.out.contains("evil"), listed.out.constData());
        const Ran json = run({"keys", "list", "--json"}, {}, environment);
        QCOMPARE(jsonOf(json.out).toArray().at(0)["label"].toString(), QString::fromUtf8(title + "evil" + clear + "\xc2\x9b"));
        for (const Ran& ran : {failed, listed, json})
            QVERIFY(!(ran.out + ran.err).contains('\x1b') && !(ran.out + ran.err).contains("\xc2\x9b") &&
                    !(ran.out + ran.err).contains('\a') && !(ran.out + ran.err).contains('\r'));
    }

    // A server that one run starts (as this session's, from the tool's own bundle) the next one stops:
    // it is the controller's, recorded across processes as the panel's is.
    void aServerStartedByOneRunIsStoppedByTheNext() {
        TestBundle bundle;
        QVERIFY(bundle.linkServer(test::ReferenceServer::executablePath()));
        QVERIFY(QDir().mkpath(bundle.path() + "/bin"));
        QVERIFY(QFile::copy(qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/bin/tavrinctl", bundle.path() + "/bin/tavrinctl"));
        const QString state = scratch.filePath("session-state");
        QVERIFY(makeDirectories(state));
        // The client surface on a free port, as the panel's network settings would have it.
        const ClientNetworkPreferences network{"127.0.0.1", freePort().toInt(), false, std::nullopt, {}, {}};
        QVERIFY(writeFilePrivately(state + "/network.json", encodeJson(network)));
        QProcessEnvironment environment = toolFor(freePort(), state);
        environment.insert("TAVRIN_SYSTEMCTL", SCRIPTED_SYSTEMCTL);
        environment.insert("SCRIPTED_SYSTEMCTL_STATE", scratch.filePath("systemd"));
        environment.insert("XDG_CONFIG_HOME", scratch.filePath("config"));
        const QString tavrinctl = bundle.path() + "/bin/tavrinctl";
        const Ran started = run({"start"}, {}, environment, tavrinctl);
        QVERIFY2(started.status == 0, started.err.constData());
        const Ran running = run({"status"}, {}, environment, tavrinctl);
        QCOMPARE(running.status, 4); // up, without a password yet
        QVERIFY2(running.out.startsWith("Phase  "), running.out.constData());

        const Ran refused = run({"login", "on"}, {}, environment, tavrinctl);
        QCOMPARE(refused.status, 1);
        QCOMPARE(refused.err, QStringLiteral("Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at %1. "
                                             "Move it to /opt/tavrin-keldmarch and re-run setup.\n").arg(bundle.path()).toUtf8());
        QCOMPARE(run({"stop"}, {}, environment, tavrinctl).status, 0);
        QCOMPARE(run({"status"}, {}, environment, tavrinctl).status, 3);
    }

    // The table is the one place of a command: its words reach its own entry, whose run function the
    // compiler requires, and no other (a second entry with the same words would be shadowed, and its
    // --help would be the first one's); the man page and the completion are read from the same table.
    void everyEntryIsReachedByItsWordsAndDocumentedFromTheTable() {
        for (const cli::CommandSpec& spec : cli::commandCatalogue()) {
            const Ran help = run(spec.words + QStringList{"--help"});
            QCOMPARE(help.status, 0);
            QCOMPARE(QString::fromUtf8(help.out), cli::commandHelp(spec));
        }
        const QString docs = qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/src/cli/";
        const Ran groff = test::runProgram("sh", {"-c", "zcat \"$0\" | groff -man -ww -z -Tutf8", docs + "tavrinctl.1.gz"});
        QCOMPARE(groff.err, QByteArray());
        QCOMPARE(groff.status, 0);

        const struct { QString typed, offered; } completions[] = {
            {"tavrinctl ke", "keys"},
            {"tavrinctl keys ", "list create revoke rotate delete"},
            {"tavrinctl keys create ci --sc", "--scope"},
            {"tavrinctl keys create ci --scope ", "inference readonly"},
            {"tavrinctl --json logging set --mode a", "audit"},
            {"tavrinctl export ", "csv jsonl"},
        };
        for (const auto& [typed, offered] : completions) {
            const Ran bash = test::runProgram(
                "bash", {"-c", "source \"$0\"; COMP_WORDS=($1 ''); [[ $1 == *' ' ]] || unset 'COMP_WORDS[-1]'; "
                               "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _tavrinctl; echo \"${COMPREPLY[*]}\"",
                         docs + "completion/tavrinctl", typed});
            QCOMPARE(QString::fromUtf8(bash.out).trimmed(), offered);
        }
    }

    // A server whose audit log has no room refuses requests in audit mode; the status says so.
    void theStatusSaysWhenAuditModeRefusesRequests() {
        test::ReferenceServer full;
        const auto started = full.start({{"--audit-max-bytes", "0"}});
        TAVRIN_REQUIRE(started);
        const QProcessEnvironment environment = toolFor(QString::number(full.adminPort()), full.stateDirectory());
        QVERIFY(!run({"status"}, {}, environment).out.contains("Audit"));
        QCOMPARE(run({"logging", "set", "--mode", "audit"}, {}, environment).status, 0);
        const Ran status = run({"status"}, {}, environment);
        QCOMPARE(status.status, 0);
        QVERIFY2(status.out.contains("Audit log can't be written: requests are being refused. It is at its size limit.\n"),
                 status.out.constData());
    }

    // Ctrl-C at the prompt, where echo is off, ends tavrinctl as Ctrl-C does, with the user's terminal
    // echoing again.
    void anInterruptAtThePasswordPromptLeavesTheTerminalEchoing() {
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        const QByteArray side = ::ptsname(terminal);
        QProcess tavrinctl;
        tavrinctl.setProcessEnvironment(tool);
        // As a shell starts a command on a terminal: its own session with the terminal as its
        // controlling one, signals neither blocked nor ignored, whatever this test's threads do.
        tavrinctl.setChildProcessModifier([&side] {
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGINT, SIG_DFL);
            ::setsid();
            const int fd = ::open(side.constData(), O_RDWR); // a session leader's first terminal: its own
            for (int standard : {0, 1, 2})
                ::dup2(fd, standard);
        });
        tavrinctl.start(qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/bin/tavrinctl", {"password", "set"});
        QByteArray shown;
        const auto prompted = [&] {
            char chunk[256];
            pollfd ready{terminal, POLLIN, 0};
            if (::poll(&ready, 1, 0) > 0)
                if (const ssize_t n = ::read(terminal, chunk, sizeof chunk); n > 0)
                    shown.append(chunk, n);
            return shown.contains("New admin password: ");
        };
        QTRY_VERIFY_WITH_TIMEOUT(prompted(), 20'000);
        QCOMPARE(::write(terminal, "\x03", 1), ssize_t(1)); // the terminal's interrupt character
        QVERIFY(tavrinctl.waitForFinished(20'000));
        QCOMPARE(tavrinctl.exitStatus(), QProcess::CrashExit); // ended by the signal, as Ctrl-C ends a program
        termios after{};
        QCOMPARE(::tcgetattr(terminal, &after), 0);
        ::close(terminal);
        QVERIFY2(after.c_lflag & ECHO, "echo was left off");
    }

    // A person reads the help, a mistake in the command line and a failure in the desktop's language;
    // a language without a catalogue reads the English texts, byte for byte.
    void aPersonReadsTheDesktopsLanguage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("serverAnswers");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("german"); // a part of what the German reader is told
        QTest::newRow("the overview")
            << QStringList{"--help"} << true << 0
            << "Aufruf: tavrinctl COMMAND [OPTIONS]\n\nJede Verwaltungsaktion von Tavrin Keldmarch";
        QTest::newRow("a command in the overview")
            << QStringList{"help"} << true << 0 << "  keys create         Einen API-Schlüssel erstellen\n";
        QTest::newRow("a command's help")
            << QStringList{"keys", "create", "--help"} << true << 0
            << "Aufruf: tavrinctl keys create LABEL [--scope inference|readonly]\n\nErstellt";
        QTest::newRow("a common option")
            << QStringList{"keys", "list", "-h"} << true << 0
            << "Optionen:\n  --json                    Die Datensätze des Servers als JSON";
        QTest::newRow("a group's help") << QStringList{"keys", "--help"} << true << 0
                                        << "Mit 'tavrinctl keys COMMAND --help' erfahren Sie";
        QTest::newRow("a usage error")
            << QStringList{"keys", "create"} << true << 2
            << "tavrinctl: LABEL fehlt\nVersuchen Sie 'tavrinctl keys create --help'.\n";
        QTest::newRow("a wrong choice") << QStringList{"logging", "set", "--mode", "loud"} << true << 2
                                        << "--mode nimmt none, privacy, hash oder audit, nicht \"loud\"";
        QTest::newRow("a saved change")
            << QStringList{"preamble", "clear"} << true << 0 << "Organisationsvorspann entfernt.\n";
        QTest::newRow("a key's label") << QStringList{"keys", "revoke", "no such key"} << true << 1 << "„no such key“";
        QTest::newRow("no server") << QStringList{"status"} << false << 3
                                   << "Phase                  gestoppt\nBei Anmeldung starten  aus\n"
                                      "Tavrin Keldmarch ist nicht erreichbar: ";
    }
    void aPersonReadsTheDesktopsLanguage() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, serverAnswers);
        QFETCH(int, status);
        QFETCH(QString, german);
        const QProcessEnvironment base =
            serverAnswers ? tool : toolFor(freePort(), scratch.filePath("other"));
        const Ran inGerman = run(arguments, {}, inLanguage(base, "de", "de_DE.UTF-8"));
        QCOMPARE(inGerman.status, status);
        QVERIFY2((inGerman.out + inGerman.err).contains(german.toUtf8()),
                 (inGerman.out + inGerman.err).constData());

        const Ran inEnglish = run(arguments, {}, base);
        const Ran inUnknown = run(arguments, {}, inLanguage(base, "xx", "xx_XX.UTF-8"));
        QVERIFY(!(inEnglish.out + inEnglish.err).contains(german.toUtf8()));
        QCOMPARE(inUnknown.status, inEnglish.status);
        QCOMPARE(inUnknown.out, inEnglish.out);
        QCOMPARE(inUnknown.err, inEnglish.err);
    }

    // The help keeps to a terminal's eighty columns in every language: a longer sentence goes on over
    // another line rather than past the edge.
    void theHelpKeepsToEightyColumnsInEveryLanguage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("arguments");
        for (const auto& [language, locale] : {std::pair{"en", "en_US.UTF-8"}, std::pair{"de", "de_DE.UTF-8"},
                                               std::pair{"fr", "fr_FR.UTF-8"}}) {
            QTest::addRow("overview, %s", language) << language << locale << QStringList{"--help"};
            QTest::addRow("a group, %s", language) << language << locale << QStringList{"keys", "--help"};
            QTest::addRow("a command, %s", language)
                << language << locale << QStringList{"keys", "create", "--help"};
        }
    }
    void theHelpKeepsToEightyColumnsInEveryLanguage() {
        QFETCH(QString, language);
        QFETCH(QString, locale);
        QFETCH(QStringList, arguments);
        const Ran help = run(arguments, {}, inLanguage(tool, language, locale));
        QCOMPARE(help.status, 0);
        const QStringList lines = QString::fromUtf8(help.out).split('\n');
        QVERIFY(lines.size() > 3);
        for (const QString& line : lines)
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    // A key's label is quoted as the reader's language quotes a name (English's quotes: the failures'
    // table; German's: the person's language).
    void aKeysLabelIsQuotedAsAFrenchReaderQuotesIt() {
        const Ran revoked = run({"keys", "revoke", "no such key"}, {}, inLanguage(tool, "fr", "fr_FR.UTF-8"));
        QCOMPARE(revoked.status, 1);
        QVERIFY2(QString::fromUtf8(revoked.err).contains("«\u00a0no such key\u00a0»"), revoked.err.constData());
    }

    // Figures follow the words: a moment reads as the language shown writes dates, whatever the
    // locale of the rest of the desktop; without a locale (C), as the server wrote it.
    void aMomentReadsAsTheLanguageShownWritesIt_data() {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QString>("moment");
        const QString german = R"(\d\d\.\d\d\.\d\d \d\d:\d\d)";
        QTest::newRow("German") << QStringList{"LANGUAGE=de", "LANG=de_DE.UTF-8"} << german;
        QTest::newRow("German words on the C locale") << QStringList{"LC_MESSAGES=de_DE.UTF-8", "LANG=C.UTF-8"} << german;
        QTest::newRow("the C locale") << QStringList{"LANGUAGE=de", "LANG=C.UTF-8"}
                                      << R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)";
    }
    void aMomentReadsAsTheLanguageShownWritesIt() {
        QFETCH(QStringList, variables);
        QFETCH(QString, moment);
        const Ran made = run({"keys", "create", "figures"});
        QCOMPARE(made.status, 0);
        QCOMPARE(statusOfModels(server.port(), made.out.trimmed()), 200);
        QProcessEnvironment environment = tool;
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
            environment.remove(name);
        for (const QString& variable : std::as_const(variables))
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        const QString table = QString::fromUtf8(run({"keys", "list"}, {}, environment).out);
        QCOMPARE(run({"keys", "delete", "figures"}).status, 0);
        const QRegularExpression row("figures .*  " + moment + "$", QRegularExpression::MultilineOption);
        QVERIFY2(row.match(table).hasMatch(), qPrintable(table));
    }

    // What a script reads is the server's records, the same bytes in every language; the person's
    // form of the same command is German, so the catalogue was read.
    void aScriptReadsTheSameRecordsInEveryLanguage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("german"); // in the person's form
        QTest::newRow("logging") << QStringList{"logging", "show"} << "Aufbewahrung";
        QTest::newRow("network") << QStringList{"network", "show"} << "IP-Positivliste";
        QTest::newRow("keys") << QStringList{"keys", "list"} << "ZULETZT VERWENDET";
        QTest::newRow("engine") << QStringList{"engine", "show"} << "eingebaute Echo-Engine";
        QTest::newRow("models") << QStringList{"models", "show"} << "Vorherige";
        QTest::newRow("updates") << QStringList{"updates", "show"} << "Zuletzt geprüft";
    }
    void aScriptReadsTheSameRecordsInEveryLanguage() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, german);
        const QProcessEnvironment inGerman = inLanguage(tool, "de", "de_DE.UTF-8");
        QVERIFY(QString::fromUtf8(run(arguments, {}, inGerman).out).contains(german));
        const Ran scriptInGerman = run(arguments + QStringList{"--json"}, {}, inGerman);
        const Ran scriptInEnglish = run(arguments + QStringList{"--json"});
        QCOMPARE(scriptInGerman.status, 0);
        QCOMPARE(scriptInGerman.out, scriptInEnglish.out);
        QCOMPARE(scriptInGerman.err, scriptInEnglish.err);
    }

    // Figures a person reads follow the language too: the server's uptime among them.
    void theStatusReadsInThePersonsLanguage() {
        const QString status = QString::fromUtf8(run({"status"}, {}, inLanguage(tool, "de", "de_DE.UTF-8")).out);
        QVERIFY2(status.contains(QRegularExpression("\\b\\d+ Std\\. \\d+ Min\\.")), qPrintable(status));
    }

    // The man page and the completion are written from the table's English texts, even by a program
    // that has a German catalogue installed; its --help is German then.
    void theManPageStaysEnglishWhileTheHelpIsTranslated() {
        const QString english = cli::manPage("1.0") + cli::bashCompletion();
        const cli::CommandSpec& first = cli::commandCatalogue().front();
        const QString helpInEnglish = cli::commandHelp(first);
        QTranslator german;
        QVERIFY(german.load(qEnvironmentVariable("TAVRIN_BUILD_DIR") + "/translations/tavrin_de.qm"));
        QVERIFY(QCoreApplication::installTranslator(&german));
        const QString manPage = cli::manPage("1.0") + cli::bashCompletion();
        const QString help = cli::commandHelp(first);
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(manPage, english);
        QVERIFY(help.startsWith("Aufruf: tavrinctl "));
        QVERIFY(help != helpInEnglish);
    }

    // Read from standard input, never from the command line; saved where the panel saves it. Last: it
    // leaves the server without a password.
    void thePasswordIsReadFromStandardInputAndSavedAsThePanelSavesIt() {
        const Ran tooShort = run({"password", "set"}, "7342\n");
        QCOMPARE(tooShort.err, "An admin password needs 16 characters or more; this one has 4.\n");
        QCOMPARE(tooShort.status, 1);
        QCOMPARE(run({"password", "set"}).status, 2);
        const Ran saved = run({"password", "set"}, "a new admin password\n");
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.out, "Saved.\n");
        QCOMPARE(test::fileBytes(server.stateDirectory() + "/admin.secret").trimmed(), "a new admin password");
        QCOMPARE(run({"keys", "list"}).status, 0);

        QCOMPARE(run({"password", "clear"}).status, 0);
        QVERIFY(!QFileInfo::exists(server.stateDirectory() + "/admin.secret"));
        QCOMPARE(run({"keys", "list"}).status, 4);
    }
};

QTEST_GUILESS_MAIN(TavrinctlTest)
#include "TavrinctlTest.moc"
