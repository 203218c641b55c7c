// The panel's own costs, measured the way a user meets them: from process start to the first
// painted main window, resident memory after the first poll of a server holding 1,000 keys, and
// CPU time spent over a minute of idle polling every 5 seconds. Run it under Xvfb (bench/panel/run.sh).

#include "app/TavrinServerApp.h"
#include "support/ReferenceServer.h"
#include "ui/kit/Theme.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

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

double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

double cpuMillis() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Notes the moment the window first paints.
class FirstPaint : public QObject {
public:
    double at = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && at < 0)
            at = millisSinceProcessStart();
        return false;
    }
};

} // namespace

namespace {

int measureStartup() {
    FirstPaint firstPaint;
    TavrinServerApp shell;
    shell.openMainWindow();
    shell.mainWindow()->installEventFilter(&firstPaint);
    QElapsedTimer wait;
    wait.start();
    while (firstPaint.at < 0 && wait.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("%-52s %8.1f ms   (target <= 130 ms)\n", "start to first painted window", firstPaint.at);
    return firstPaint.at < 0 ? 1 : 0;
}

int measurePolling(QApplication& app, int keyCount, int seconds, bool polling) {
    test::ReferenceServer server;
    if (auto started = server.start(); !started) {
        std::fprintf(stderr, "reference server did not start: %s\n", qPrintable(started.error()));
        return 1;
    }
    {
        auto admin = server.client();
        for (int i = 0; i < keyCount; ++i)
            if (!QCoro::waitFor(admin->createKey(QStringLiteral("key %1").arg(i), std::nullopt)))
                return 1;
    }
    AppOptions options;
    options.baseURL = server.baseUrl();
    TavrinServerApp shell(options);
    shell.state().client()->setAdminSecret(server.adminSecret());
    shell.state().setHasCompletedFirstRun(true); // the main window with its tabs, not setup (a private session)
    if (!polling)
        shell.state().setPollIntervalSeconds(3600); // the window's own idle cost, for comparison
    shell.openMainWindow();
    QCoro::waitFor(shell.state().refresh());
    if (shell.state().keys().size() != std::size_t(keyCount)) {
        std::fprintf(stderr, "expected %d keys, got %zu\n", keyCount, shell.state().keys().size());
        return 1;
    }
    char label[96];
    std::snprintf(label, sizeof label, "resident memory after the first poll (%d keys)", keyCount);
    std::printf("%-52s %8.1f MiB  (target <= 45 MiB)\n", label, residentMiB());

    const double before = cpuMillis();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double spent = cpuMillis() - before;
    std::snprintf(label, sizeof label,
                  polling ? "CPU per 30 s idle, polling every 5 s (%d keys)"
                          : "CPU per 30 s idle, not polling (%d keys)",
                  keyCount);
    std::printf("%-52s %8.2f ms   (target <= 3 ms; %d s measured)\n", label, spent * 30.0 / seconds, seconds);
    return 0;
}

} // namespace

// Usage: bench-panel startup | bench-panel poll KEYS SECONDS. Each measurement runs in a fresh
// process (run.sh), so one does not inherit another's heap.
int main(int argc, char** argv) {
    QGuiApplication::setDesktopSettingsAware(false);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch Bench"));
    QApplication::setQuitOnLastWindowClosed(false);
    Theme::apply(app);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("startup");
    if (mode == "poll")
        return measurePolling(app, argc > 2 ? QByteArray(argv[2]).toInt() : 1000,
                              argc > 3 ? QByteArray(argv[3]).toInt() : 60,
                              !(argc > 4 && QByteArray(argv[4]) == "nopoll"));
    return measureStartup();
}
