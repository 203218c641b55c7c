// The panel's own costs, measured the way a user meets them: from process start to the first
// painted main window, resident memory after the first poll of a server holding 1,000 keys, and
// CPU time spent idling while it polls every 5 seconds, with the window open or with only the tray
// item. Each figure has a yardstick measured by the same program in the same run: a bare Qt 6
// window, and curl making one poll's three requests. Run it under Xvfb (bench/panel/run.sh), which
// takes medians over several runs and prints the table.
//
// Every measurement prints `name value` lines; run.sh gathers them.

#include "app/TavrinServerApp.h"
#include "base/AdminSecretFile.h"
#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "support/ReferenceServer.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <valgrind/callgrind.h>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

using namespace tavrin;

namespace {

// Milliseconds since this process was created, from the kernel's record of its start.
double millisSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// "VmRSS" (all), "RssAnon" (the heap, stacks, relocated data) or "RssFile" (code and fonts mapped).
double residentMiB(QByteArrayView field = "VmRSS") {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field) && line.at(field.size()) == ':')
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void reportMemory() {
    std::printf("rss_mib %.3f\nrss_anon_mib %.3f\nrss_file_mib %.3f\n", residentMiB(), residentMiB("RssAnon"),
                residentMiB("RssFile"));
}

double millis(const rusage& usage) {
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double cpuMillis(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return millis(usage);
}

void report(const char* name, double value) { std::printf("%s %.3f\n", name, value); }

// Lets first paints and a first poll cycle pass before anything is measured.
void settle() {
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Runs the event loop for `seconds` and prints the CPU time it took: all threads, then this one.
void measureIdleCpu(QApplication& app, int seconds) {
    CALLGRIND_ZERO_STATS;
    const double before = cpuMillis(RUSAGE_SELF);
    const double mainBefore = cpuMillis(RUSAGE_THREAD);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double spent = cpuMillis(RUSAGE_SELF) - before;
    const double mainSpent = cpuMillis(RUSAGE_THREAD) - mainBefore;
    CALLGRIND_DUMP_STATS_AT("idle");
    report("cpu_ms_per_30s", spent * 30.0 / seconds);
    report("main_ms_per_30s", mainSpent * 30.0 / seconds);
    report("other_threads_ms_per_30s", (spent - mainSpent) * 30.0 / seconds);
}

// Notes the moment a window first paints.
class FirstPaint : public QObject {
public:
    double at = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && at < 0)
            at = millisSinceProcessStart();
        return false;
    }
};

// Counts what the idle panel makes Qt do: widgets painted and layouts redone.
class WorkCounter : public QObject {
public:
    int paints = 0;
    int layouts = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType())
            return false;
        if (event->type() == QEvent::Paint)
            ++paints;
        else if (event->type() == QEvent::LayoutRequest)
            ++layouts;
        return false;
    }
};

void waitForPaint(const FirstPaint& firstPaint) {
    QElapsedTimer wait;
    wait.start();
    while (firstPaint.at < 0 && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// What setup leaves behind: the first-run flag, and the admin password in the state folder (so the
// keychain is not asked).
void completeSetup(const QString& adminSecret) {
    QSettings().setValue(QLatin1StringView(ServerStateModel::firstRunKey), true);
    if (!AdminSecretFile().write(adminSecret))
        std::fprintf(stderr, "could not write the admin password file\n");
}

// The main window as a user opens it: setup done, so on the Status tab.
int measureStartup() {
    completeSetup(test::ReferenceServer::defaultAdminSecret());
    FirstPaint firstPaint;
    TavrinServerApp shell;
    shell.openMainWindow();
    shell.mainWindow()->installEventFilter(&firstPaint);
    waitForPaint(firstPaint);
    report("startup_ms", firstPaint.at);
    return firstPaint.at < 0 ? 1 : 0;
}

// The yardstick: a Qt 6 window of the same size with nothing in it.
QMainWindow* showBareWindow(FirstPaint& firstPaint) {
    auto* window = new QMainWindow;
    window->setWindowTitle(QStringLiteral("bare"));
    window->resize(1040, 720);
    window->installEventFilter(&firstPaint);
    window->show();
    waitForPaint(firstPaint);
    return window;
}

int measureBare(QApplication& app, int seconds) {
    FirstPaint firstPaint;
    std::unique_ptr<QMainWindow> window(showBareWindow(firstPaint));
    report("startup_ms", firstPaint.at);
    if (seconds <= 0)
        return 0;
    reportMemory();
    measureIdleCpu(app, seconds);
    return 0;
}

bool startServer(test::ReferenceServer& server, int keyCount) {
    if (auto started = server.start(); !started) {
        std::fprintf(stderr, "reference server did not start: %s\n", qPrintable(started.error()));
        return false;
    }
    auto admin = server.client();
    for (int i = 0; i < keyCount; ++i)
        if (!QCoro::waitFor(admin->createKey(QStringLiteral("key %1").arg(i), std::nullopt)))
            return false;
    return true;
}

// `window`: the main window stays open on Status; otherwise it is closed after the first poll, as
// a user does, and only the tray item (where the desktop has a tray) remains.
int measurePolling(QApplication& app, int keyCount, int seconds, bool window) {
    test::ReferenceServer server;
    if (!startServer(server, keyCount))
        return 1;
    completeSetup(server.adminSecret());
    AppOptions options;
    options.model.baseURL = server.baseUrl();
    TavrinServerApp shell(options);
    shell.openMainWindow();
    QCoro::waitFor(shell.state().refresh());
    if (shell.state().keys().size() != std::size_t(keyCount)) {
        std::fprintf(stderr, "expected %d keys, got %zu\n", keyCount, shell.state().keys().size());
        return 1;
    }
    settle();
    reportMemory();
    if (!window) {
        shell.mainWindow()->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int cycles = 0;
    QObject::connect(&shell.state(), &ServerStateModel::lastRefreshedAtChanged, &app, [&] { ++cycles; });
    WorkCounter work;
    app.installEventFilter(&work);
    measureIdleCpu(app, seconds);
    app.removeEventFilter(&work);
    report("cycles", cycles);
    report("paints_per_cycle", cycles ? double(work.paints) / cycles : 0);
    report("layouts_per_cycle", cycles ? double(work.layouts) / cycles : 0);
    return 0;
}

// curl making one poll's three requests (a new process each cycle, as a shell script would), every
// 5 seconds' worth of them back to back: the cost of the exchange alone.
int measureCurl(int keyCount, int seconds) {
    test::ReferenceServer server;
    if (!startServer(server, keyCount))
        return 1;
    const QString base = server.baseUrl().toString(QUrl::StripTrailingSlash);
    const QStringList arguments{QStringLiteral("-sf"),
                                QStringLiteral("-H"),
                                QStringLiteral("Authorization: Bearer ") + server.adminSecret(),
                                QStringLiteral("-o"), QStringLiteral("/dev/null"), base + QStringLiteral("/healthz"),
                                QStringLiteral("-o"), QStringLiteral("/dev/null"), base + QStringLiteral("/admin/status"),
                                QStringLiteral("-o"), QStringLiteral("/dev/null"), base + QStringLiteral("/admin/keys")};
    const int cycles = std::max(1, seconds / 5);
    const double before = cpuMillis(RUSAGE_CHILDREN);
    for (int i = 0; i < cycles; ++i) {
        QProcess curl;
        curl.start(QStringLiteral("curl"), arguments);
        if (!curl.waitForFinished(10000) || curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            return 1;
        }
    }
    // The server is a child too, but it has not been waited for, so its time is not counted.
    report("cpu_ms_per_30s", (cpuMillis(RUSAGE_CHILDREN) - before) * 30.0 / seconds);
    return 0;
}

// The poll's three requests and nothing else, every 5 seconds, asking with the entity tags the
// server gave (as the panel does): what the transport alone costs. `qnam` sends them as the panel
// does, with QNetworkAccessManager; `socket` writes them on one kept-alive QTcpSocket on this
// thread and reads each answer from its buffer. The difference between the two is what Qt's HTTP
// layer costs beyond the exchange itself.
class PollYardstick : public QObject {
public:
    PollYardstick(QUrl base, QString secret, bool useSocket)
        : m_base(std::move(base)), m_authorization("Bearer " + secret.toUtf8()), m_useSocket(useSocket) {
        m_network.setProxy(QNetworkProxy::NoProxy);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] { readAnswer(); });
    }

    void cycle() {
        m_next = 0;
        sendNext();
    }

private:
    static constexpr const char* paths[] = {"/healthz", "/admin/status", "/admin/keys"};

    void sendNext() {
        if (m_next >= 3)
            return;
        const QByteArray path = paths[m_next];
        const QByteArray tag = m_tags[m_next];
        if (!m_useSocket) {
            QNetworkRequest request(m_base.resolved(QUrl(QString::fromLatin1(path))));
            if (path.startsWith("/admin/"))
                request.setRawHeader("Authorization", m_authorization);
            if (!tag.isEmpty())
                request.setRawHeader("If-None-Match", tag);
            QNetworkReply* reply = m_network.get(request);
            connect(reply, &QNetworkReply::finished, this, [this, reply] {
                reply->readAll();
                m_tags[m_next] = reply->rawHeader("ETag");
                reply->deleteLater();
                ++m_next;
                sendNext();
            });
            return;
        }
        if (m_socket.state() != QAbstractSocket::ConnectedState) {
            m_socket.connectToHost(m_base.host(), quint16(m_base.port()));
            m_socket.waitForConnected(2000);
        }
        QByteArray head = "GET " + path + " HTTP/1.1\r\nHost: " + m_base.host().toLatin1() + "\r\n";
        if (path.startsWith("/admin/"))
            head += "Authorization: " + m_authorization + "\r\n";
        if (!tag.isEmpty())
            head += "If-None-Match: " + tag + "\r\n";
        m_socket.write(head + "\r\n");
    }

    // One answer: its head, then Content-Length bytes of body.
    void readAnswer() {
        m_buffer += m_socket.readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        qsizetype length = 0;
        for (const QByteArray& line : m_buffer.left(end).split('\n')) {
            const QByteArray lower = line.trimmed().toLower();
            if (lower.startsWith("content-length:"))
                length = lower.mid(15).trimmed().toLongLong();
            else if (lower.startsWith("etag:"))
                m_tags[m_next] = line.trimmed().mid(5).trimmed();
        }
        if (m_buffer.size() < end + 4 + length)
            return;
        m_buffer.remove(0, end + 4 + length);
        ++m_next;
        sendNext();
    }

    QUrl m_base;
    QByteArray m_authorization;
    bool m_useSocket;
    QNetworkAccessManager m_network;
    QTcpSocket m_socket;
    QByteArray m_buffer;
    QByteArray m_tags[3];
    int m_next = 3;
};

int measureYardstick(QApplication& app, int keyCount, int seconds, bool useSocket) {
    test::ReferenceServer server;
    if (!startServer(server, keyCount))
        return 1;
    PollYardstick poll(server.baseUrl(), server.adminSecret(), useSocket);
    QTimer every5s;
    QObject::connect(&every5s, &QTimer::timeout, &poll, &PollYardstick::cycle);
    every5s.start(5000);
    poll.cycle();
    settle();
    measureIdleCpu(app, seconds);
    return 0;
}

// The panel's Status tab as the user presses Start and Stop, with the real server behind a bundle of
// its own (on a free admin port): milliseconds from the press to the headline the user waits for.
// The poll loop runs at its usual 5 seconds, as it does for everyone.
QWidget* buttonLabelled(QWidget* root, const QString& text) {
    for (auto* button : root->findChildren<QAbstractButton*>())
        if (button->text() == text && button->isVisible())
            return button;
    return nullptr;
}

double millisUntilTitle(QWidget* root, const QString& title) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (auto* header : root->findChildren<TabHeader*>())
            if (header->isVisible() && header->title() == title)
                return double(clock.nsecsElapsed()) / 1e6;
    }
    return -1;
}

int measureStartStop(int rounds) {
    QTemporaryDir bundle;
    QDir().mkpath(bundle.filePath(QStringLiteral("libexec")));
    QDir().mkpath(bundle.filePath(QStringLiteral("no-model")));
    QFile wrapper(bundle.filePath(QStringLiteral("libexec/tavrin-server")));
    if (!wrapper.open(QIODevice::WriteOnly))
        return 1;
    wrapper.write(QStringLiteral("#!/bin/sh\nexec '%1' \"$@\" --port 0 --model-source '%2'\n")
                      .arg(test::ReferenceServer::executablePath(), bundle.filePath(QStringLiteral("no-model")))
                      .toUtf8());
    wrapper.close();
    wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    qputenv("TAVRIN_ADMIN_PORT", QByteArray::number(port));

    completeSetup(test::ReferenceServer::defaultAdminSecret());
    AppOptions options;
    options.model.baseURL = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
    DaemonProcessControllerOptions process;
    process.bundlePath = bundle.path();
    options.model.process = std::make_shared<DaemonProcessController>(process);
    TavrinServerApp shell(options);
    shell.openMainWindow();
    QWidget* window = shell.mainWindow();
    if (millisUntilTitle(window, QStringLiteral("Your server is stopped.")) < 0)
        return 1;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        settle();
        QWidget* start = buttonLabelled(window, QStringLiteral("Start server"));
        if (!start)
            return 1;
        QMetaObject::invokeMethod(start, "click");
        const double live = millisUntilTitle(window, QStringLiteral("Your Tavrin server is live."));
        settle();
        QWidget* stop = buttonLabelled(window, QStringLiteral("Stop server"));
        if (!stop)
            return 1;
        QMetaObject::invokeMethod(stop, "click");
        const double stopped = millisUntilTitle(window, QStringLiteral("Your server is stopped."));
        failures += live < 0 || stopped < 0;
        report("start_to_live_ms", live);
        report("stop_to_stopped_ms", stopped);
    }
    return failures ? 1 : 0;
}

int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size()); }

int threadCount() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return -1;
}

// A day in the tray, compressed: the panel polls the real server `polls` times at a short interval,
// the window open for the first half and closed for the second, while keys are made and revoked
// now and then by another client. Reports what its memory did in each half (from poll 1,000 with the
// window open, and from 500 polls after it closed, so that what closing frees does not hide a leak),
// and its descriptors and threads from poll 1,000 to the last.
int measureSoak(QApplication& app, int polls) {
    test::ReferenceServer server;
    if (!startServer(server, 3))
        return 1;
    completeSetup(server.adminSecret());
    AppOptions options;
    options.model.baseURL = server.baseUrl();
    TavrinServerApp shell(options);
    shell.openMainWindow();
    shell.state().setPollIntervalSeconds(0.005);
    shell.state().startPolling();
    auto admin = server.client();
    const int closeAt = polls / 2;
    int cycles = 0;
    double rssAt1000 = 0, rssBeforeClose = 0, rssAfterClose = 0;
    int fdsAt1000 = 0, threadsAt1000 = 0;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&shell.state(), &ServerStateModel::lastRefreshedAtChanged, &app, [&] {
        ++cycles;
        if (cycles == 1000) {
            rssAt1000 = residentMiB();
            fdsAt1000 = openDescriptors();
            threadsAt1000 = threadCount();
        }
        if (cycles == closeAt && shell.mainWindow()) {
            rssBeforeClose = residentMiB();
            shell.mainWindow()->close();
        }
        if (cycles == closeAt + 500)
            rssAfterClose = residentMiB();
        if (cycles % 500 == 0) { // another client changes the key list now and then
            const auto made = QCoro::waitFor(admin->createKey(QStringLiteral("soak %1").arg(cycles), std::nullopt));
            if (made && cycles % 1000 == 0)
                QCoro::waitFor(admin->revokeKey(made->record.id));
        }
        if (cycles == polls)
            app.quit();
    });
    app.exec();
    report("soak_polls", cycles);
    report("soak_seconds", double(clock.elapsed()) / 1000.0);
    report("soak_rss_at_1000_mib", rssAt1000);
    report("soak_rss_growth_window_mib", rssBeforeClose - rssAt1000);
    report("soak_rss_growth_tray_mib", residentMiB() - rssAfterClose);
    report("soak_fd_delta", openDescriptors() - fdsAt1000);
    report("soak_thread_delta", threadCount() - threadsAt1000);
    return 0;
}

} // namespace

// Usage:
//   bench-panel startup                      the main window, process start to first paint
//   bench-panel bare [SECONDS]               a bare Qt 6 window: first paint, memory and idle CPU
//   bench-panel poll KEYS SECONDS window|tray idle polling of a server with KEYS keys
//   bench-panel curl KEYS SECONDS            curl making the same requests
//   bench-panel qnam|socket KEYS SECONDS     the same requests from this process (PollYardstick)
//   bench-panel startstop ROUNDS             Start → "live" and Stop → "stopped" on the Status tab
//   bench-panel soak POLLS                   POLLS quick polls: memory, descriptors and threads after
// Each measurement runs in a fresh process (run.sh), so one does not inherit another's heap.
int main(int argc, char** argv) {
    QGuiApplication::setDesktopSettingsAware(false);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch Bench"));
    QApplication::setQuitOnLastWindowClosed(false);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("startup");
    const auto number = [&](int index, int fallback) { return argc > index ? QByteArray(argv[index]).toInt() : fallback; };
    if (mode == "bare")
        return measureBare(app, number(2, 0));
    if (mode == "curl")
        return measureCurl(number(2, 1000), number(3, 30));
    if (mode == "qnam" || mode == "socket")
        return measureYardstick(app, number(2, 1000), number(3, 30), mode == "socket");
    Theme::apply(app);
    if (mode == "poll")
        return measurePolling(app, number(2, 1000), number(3, 30), !(argc > 4 && QByteArray(argv[4]) == "tray"));
    if (mode == "startstop")
        return measureStartStop(number(2, 5));
    if (mode == "soak")
        return measureSoak(app, number(2, 12000));
    return measureStartup();
}
