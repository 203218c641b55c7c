// bench-server: latency, throughput and memory of the reference tavrin-server under a bounded
// load from this (second) process on loopback; the latency of /healthz and the admin API with
// 1,000 half-open and 1,000 idle keep-alive connections open, beside the same without them; and
// how long a stop takes with the panel's idle connection open; and how many admin passwords a
// guesser gets judged in 8 s with 100 connections that each drop a guess not answered within
// 200 ms, and how soon the right password is answered after that. Targets: admin p99 <= 2 ms at
// 1,000 requests/s, with or without the slow connections; idle resident memory <= 20 MB; no
// failed request.
//
// Usage: bench-server BUILD_DIR [--seconds N] [--rate N]
// TAVRIN_BENCH_SERVER names another server executable (an older build, to compare).

#include "LoadGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <QElapsedTimer>

#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace tavrin::bench;

namespace {

const QByteArray adminPassword = "bench-admin-password-0123456789";

long residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression rss(QStringLiteral(R"(VmRSS:\s+(\d+) kB)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// CPU time the process has used so far, in milliseconds (user and system).
double cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Samples the server's resident memory while a load runs and keeps the highest value.
class RssSampler {
public:
    explicit RssSampler(qint64 pid) : m_thread([this, pid] {
        while (!m_stop) {
            m_peak = std::max(m_peak.load(), residentKiB(pid));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }) {}
    long stop() {
        m_stop = true;
        m_thread.join();
        return m_peak;
    }

private:
    std::atomic<bool> m_stop = false;
    std::atomic<long> m_peak = 0;
    std::thread m_thread;
};

std::string request(const char* method, const char* path, const QByteArray& bearer, const std::string& body = {}) {
    std::string r = std::string(method) + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " +
                    bearer.toStdString() + "\r\n";
    if (!body.empty())
        r += "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

void report(const char* name, const LoadResult& r, long peakKiB, double serverCpuMs) {
    std::printf("%-22s rate %7.0f/s  median %6.3f ms  p99 %6.3f ms  max %7.3f ms  failed %llu of %llu  peak RSS %.1f MB"
                "  server CPU %.0f us/request\n",
                name, r.throughput(), r.percentile(50), r.percentile(99), r.latenciesMs.empty() ? 0 : r.latenciesMs.back(),
                static_cast<unsigned long long>(r.failed), static_cast<unsigned long long>(r.sent), double(peakKiB) / 1024,
                r.sent ? serverCpuMs * 1000.0 / double(r.sent) : 0);
}

// wrk at full speed (closed loop, 8 connections): the throughput ceiling and its latencies.
void wrk(const char* name, int port, const char* path, const std::string& luaSetup, int seconds, qint64 pid,
         const QString& scratch) {
    const QString script = scratch + QStringLiteral("/wrk.lua");
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(luaSetup.c_str());
    file.close();
    QProcess process;
    RssSampler rss(pid);
    process.start(QStringLiteral("wrk"), {QStringLiteral("-t2"), QStringLiteral("-c8"), QStringLiteral("-d%1s").arg(seconds),
                                          QStringLiteral("--latency"), QStringLiteral("-s"), script,
                                          QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1StringView(path))});
    if (!process.waitForFinished(seconds * 1000 + 30000)) {
        std::printf("%-22s wrk did not finish\n", name);
        process.kill();
        process.waitForFinished();
        return;
    }
    const long peak = rss.stop();
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const auto grab = [&](const QString& pattern) {
        return QRegularExpression(pattern).match(out).captured(1);
    };
    const QString errors = grab(QStringLiteral(R"(Non-2xx or 3xx responses: (\d+))"));
    const QString socketErrors = grab(QStringLiteral(R"((Socket errors:[^\n]*))"));
    std::printf("%-22s rate %7s/s  median %9s  p99 %9s  non-2xx %s%s  peak RSS %.1f MB\n", name,
                qPrintable(grab(QStringLiteral(R"(Requests/sec:\s+([\d.]+))"))),
                qPrintable(grab(QStringLiteral(R"(\n\s+50%\s+(\S+))"))), qPrintable(grab(QStringLiteral(R"(\n\s+99%\s+(\S+))"))),
                qPrintable(errors.isEmpty() ? QStringLiteral("0") : errors),
                qPrintable(socketErrors.isEmpty() ? QString() : QStringLiteral("  ") + socketErrors), double(peak) / 1024);
}

// The two figures side by side: quiet, crowded, and crowded over quiet.
void compare(const char* name, const LoadResult& quiet, const LoadResult& crowded, const SlowCrowd& crowd) {
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0; };
    std::printf("%-22s quiet median %6.3f ms p99 %6.3f ms | crowded median %6.3f ms p99 %6.3f ms | ratio %4.2fx %4.2fx"
                "  failed %llu+%llu  still open %d of %d\n",
                name, quiet.percentile(50), quiet.percentile(99), crowded.percentile(50), crowded.percentile(99),
                ratio(crowded.percentile(50), quiet.percentile(50)), ratio(crowded.percentile(99), quiet.percentile(99)),
                static_cast<unsigned long long>(quiet.failed), static_cast<unsigned long long>(crowded.failed),
                crowd.stillOpen(), crowd.opened());
}

qsizetype judgedPasswords(const QString& serverLog) {
    QFile log(serverLog);
    return log.open(QIODevice::ReadOnly) ? log.readAll().count("wrong admin password (") : 0;
}

// A guesser's way around a throttle that delays only wrong answers: drop every guess that is not
// answered at once. The panel proved its password on its kept connection before the guessing.
void guessingRun(int port, int adminPort, const QString& serverLog) {
    constexpr int connections = 100;
    constexpr auto patience = std::chrono::milliseconds(200);
    constexpr auto duration = std::chrono::seconds(8);
    KeptConnection panel(adminPort);
    const int proven = panel.exchange(request("GET", "/admin/status", adminPassword));
    const qsizetype before = judgedPasswords(serverLog);
    const DroppedGuesses guesses = guessAndDrop(port, connections, patience, duration, [](std::uint64_t n) {
        return request("GET", "/admin/status", QByteArrayLiteral("guess-") + QByteArray::number(qulonglong(n)));
    });
    const qsizetype judged = judgedPasswords(serverLog) - before;
    QElapsedTimer clock;
    clock.start();
    const int kept = panel.exchange(request("GET", "/admin/status", adminPassword));
    const double keptMs = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    const int fresh = exchangeOnce(port, request("GET", "/admin/status", adminPassword)).starts_with("HTTP/1.1 200") ? 200 : 0;
    const double freshMs = double(clock.nsecsElapsed()) / 1e6;
    std::printf("password guessing: %d connections for %lld s, each dropping a guess not answered within %lld ms:\n", connections,
                static_cast<long long>(duration.count()), static_cast<long long>(patience.count()));
    std::printf("%-22s %llu sent, %llu answered in time, %s\n", "wrong passwords", static_cast<unsigned long long>(guesses.sent),
                static_cast<unsigned long long>(guesses.answered),
                judged > 0 ? qPrintable(QStringLiteral("%1 judged by the server (%2 a second)").arg(judged).arg(double(judged) / double(duration.count()), 0, 'f', 2))
                           : "judged by the server: not logged by this server");
    std::printf("%-22s then answered %s in %.1f ms on the panel's kept connection (%s before), %s in %.0f ms on a new one\n",
                "right password", kept == 200 ? "200" : "NOT 200", keptMs, proven == 200 ? "proven" : "NOT proven",
                fresh == 200 ? "200" : "NOT 200", freshMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString buildDir = qEnvironmentVariable("TAVRIN_BUILD_DIR");
    int seconds = 10;
    double rate = 1000;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1StringView("--seconds") && i + 1 < args.size())
            seconds = args[++i].toInt();
        else if (args[i] == QLatin1StringView("--rate") && i + 1 < args.size())
            rate = args[++i].toDouble();
        else
            buildDir = args[i];
    }
    const QString server = buildDir + QStringLiteral("/libexec/tavrin-server");
    if (buildDir.isEmpty() || !QFile::exists(server)) {
        std::fprintf(stderr, "usage: bench-server BUILD_DIR [--seconds N] [--rate N] (no server at %s)\n", qPrintable(server));
        return 2;
    }

    QTemporaryDir scratch;
    const QString state = scratch.path() + QStringLiteral("/state");
    QDir().mkpath(state);
    QFile secret(state + QStringLiteral("/admin.secret"));
    // Private, as the panel writes it: the server takes no password from a file others may read.
    if (!secret.open(QIODevice::WriteOnly) || !secret.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        secret.write(adminPassword) < 0)
        return 1;
    secret.close();

    // The slow clients need two thousand descriptors of this process too.
    rlimit descriptors{};
    if (::getrlimit(RLIMIT_NOFILE, &descriptors) == 0 && descriptors.rlim_cur < descriptors.rlim_max) {
        descriptors.rlim_cur = descriptors.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &descriptors);
    }

    QProcess process;
    // The server's log, where each wrong admin password it judges is a line.
    const QString serverLog = scratch.path() + QStringLiteral("/server.log");
    process.setStandardErrorFile(serverLog);
    // The admin port by its variable rather than its flag, so that an older server ignores it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVRIN_ADMIN_PORT"), QStringLiteral("0"));
    process.setProcessEnvironment(environment);
    const QString executable = qEnvironmentVariable("TAVRIN_BENCH_SERVER", server);
    process.start(executable, {QStringLiteral("serve"), QStringLiteral("--state-dir"), state, QStringLiteral("--port"), QStringLiteral("0")});
    if (!process.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const int port = QString::fromLatin1(process.readLine()).section(QLatin1Char(':'), -1).trimmed().toInt();
    process.waitForReadyRead(1000);
    const QString second = QString::fromLatin1(process.readLine());
    const int adminPort = second.startsWith(QLatin1StringView("admin API on")) ? second.section(QLatin1Char(':'), -1).trimmed().toInt() : port;
    const qint64 pid = process.processId();
    QThread::sleep(1);
    const long idleKiB = residentKiB(pid);

    const std::string created = exchangeOnce(port, request("POST", "/admin/keys", adminPassword, R"({"label":"bench"})"));
    const auto keyAt = created.find("\"key\":\"");
    if (keyAt == std::string::npos) {
        std::fprintf(stderr, "could not create an API key: %s\n", created.c_str());
        return 1;
    }
    const QByteArray apiKey = QByteArray::fromStdString(created.substr(keyAt + 7, created.find('"', keyAt + 7) - keyAt - 7));
    const std::string chatBody = R"({"model":"tavrin-echo","messages":[{"role":"user","content":"Summarise the quarterly report in three bullet points."}]})";

    std::printf("tavrin-server bench: %d s per run, open loop at %.0f requests/s over 4 connections\n", seconds, rate);
    std::printf("%-22s %.1f MB (target <= 20 MB)\n", "idle resident memory", double(idleKiB) / 1024);

    const auto measured = [&](const char* name, const std::string& what) {
        RssSampler rss(pid);
        const double cpuBefore = cpuMs(pid);
        LoadResult result = runLoad({port, what, rate, std::chrono::seconds(seconds), 4});
        report(name, result, rss.stop(), cpuMs(pid) - cpuBefore);
        return result;
    };
    const LoadResult admin = measured("GET /admin/status", request("GET", "/admin/status", adminPassword));
    const LoadResult chat = measured("POST chat/completions", request("POST", "/v1/chat/completions", apiKey, chatBody));

    std::printf("throughput ceiling (wrk -t2 -c8):\n");
    wrk("GET /admin/status", port, "/admin/status",
        "wrk.headers[\"Authorization\"] = \"Bearer " + adminPassword.toStdString() + "\"\n", seconds, pid, scratch.path());
    wrk("POST chat/completions", port, "/v1/chat/completions",
        "wrk.method = \"POST\"\nwrk.headers[\"Content-Type\"] = \"application/json\"\nwrk.headers[\"Authorization\"] = \"Bearer " +
            apiKey.toStdString() + "\"\nwrk.body = '" + chatBody + "'\n",
        seconds, pid, scratch.path());
    std::printf("%-22s %.1f MB\n", "resident memory after", double(residentKiB(pid)) / 1024);

    // Each run opens its crowd afresh and lasts 3 s: half-open connections are dropped after 5 s.
    const int crowdRate = 300;
    const auto slowRun = [&](const std::string& what) { return runLoad({adminPort, what, double(crowdRate), std::chrono::seconds(3), 2}); };
    std::printf("slow clients: 1,000 half-open and 1,000 idle keep-alive connections, half on each listener;"
                " %d requests/s on the admin port for 3 s:\n", crowdRate);
    bool crowdMet = true;
    for (const auto& [name, what] : {std::pair{"GET /healthz", request("GET", "/healthz", QByteArray())},
                                     std::pair{"GET /admin/status", request("GET", "/admin/status", adminPassword)}}) {
        const LoadResult quiet = slowRun(what);
        SlowCrowd clientSide(port, 500, 500);
        SlowCrowd adminSide(adminPort, 500, 500);
        const long crowdKiB = residentKiB(pid);
        const LoadResult crowded = slowRun(what);
        compare(name, quiet, crowded, adminSide);
        std::printf("%-22s client listener still open %d of %d; resident memory with the crowd %.1f MB\n", "",
                    clientSide.stillOpen(), clientSide.opened(), double(crowdKiB) / 1024);
        crowdMet = crowdMet && crowded.failed == 0 && crowded.percentile(99) <= 2.0;
    }

    guessingRun(port, adminPort, serverLog);

    // What the panel's Stop waits for: SIGTERM to exit, with its idle keep-alive connection open.
    SlowCrowd panel(adminPort, 0, 1);
    QElapsedTimer stopping;
    stopping.start();
    process.terminate();
    process.waitForFinished(10000);
    std::printf("%-22s %lld ms with an idle keep-alive connection open\n", "stop (SIGTERM to exit)",
                static_cast<long long>(stopping.elapsed()));

    const bool met = admin.percentile(99) <= 2.0 && idleKiB <= 20 * 1024 && admin.failed == 0 && chat.failed == 0 && crowdMet;
    std::printf("targets (admin p99 <= 2 ms at %.0f/s and beside the slow clients, idle RSS <= 20 MB, no failures): %s\n",
                rate, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
