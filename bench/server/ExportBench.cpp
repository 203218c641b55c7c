// bench-server-export: how the reference tavrin-server exports a large audit log and writes a
// support bundle. It writes an audit log of N records (default 1,000,000) into a fresh state
// directory, starts the server on it and times each export over loopback HTTP, with the
// server's peak resident memory. Target: an export's peak stays under 64 MB whatever the size.
//
// Usage: bench-server-export [BUILD_DIR] [--records N]   (BUILD_DIR defaults to $TAVRIN_BUILD_DIR)

#include "server/stores/AuditLog.h"

#include <httplib.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace tavrin;

namespace {

const QByteArray adminPassword = "bench-export-admin-password-0123";

long statusKiB(qint64 pid, const char* field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression line(QStringLiteral(R"(%1:\s+(\d+) kB)").arg(QLatin1StringView(field)));
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// Writes `count` records over the last twenty days: mostly privacy-mode metadata, some
// digests, and one in twenty with prompt and answer text, as a busy audited server would.
qint64 writeAuditLog(const QString& directory, qint64 count) {
    QDir().mkpath(directory);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const int days = 20;
    const QString prompt = QStringLiteral("user: Summarise the quarterly figures for the \"north, east\" region, "
                                          "line by line.\nsystem: be brief ✓");
    qint64 bytes = 0;
    for (int d = days - 1; d >= 0; --d) {
        const QDateTime day = now.addDays(-d);
        QFile file(directory + QLatin1Char('/') + day.date().toString(Qt::ISODate) + QStringLiteral(".jsonl"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return -1;
        QByteArray buffer;
        const qint64 perDay = count / days + (d == 0 ? count % days : 0);
        const QDateTime start(day.date(), QTime(0, 0), Qt::UTC);
        for (qint64 i = 0; i < perDay; ++i) {
            AuditRecord r;
            r.time = start.addSecs(qint64(i * 86000 / std::max<qint64>(perDay, 1))).toString(Qt::ISODate);
            r.keyId = QStringLiteral("key_%1").arg(i % 37);
            r.endpoint = QStringLiteral("/v1/chat/completions");
            r.status = i % 50 == 0 ? 503 : 200;
            r.responseTimeMs = double(i % 900) / 7.0;
            r.promptTokens = 20 + i % 300;
            r.completionTokens = 40 + i % 500;
            r.mode = i % 20 == 0 ? ClientAuditMode::audit : i % 10 == 0 ? ClientAuditMode::hash : ClientAuditMode::privacy;
            if (r.mode == ClientAuditMode::hash) {
                r.promptSha256 = QString(64, u'a');
                r.completionSha256 = QString(64, u'b');
            } else if (r.mode == ClientAuditMode::audit) {
                r.prompt = prompt;
                r.completion = QStringLiteral("The figures rose by %1 percent.").arg(i % 13);
            }
            buffer += encodeJson(r);
            buffer += '\n';
            if (buffer.size() > (1 << 20)) {
                file.write(buffer);
                bytes += buffer.size();
                buffer.clear();
            }
        }
        file.write(buffer);
        bytes += buffer.size();
    }
    return bytes;
}

struct Timed {
    double seconds = 0;
    qint64 bytes = 0;
    int status = 0;
    std::string body;
};

Timed fetch(quint16 port, const char* method, const std::string& path) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(600));
    const httplib::Headers headers{{"Authorization", "Bearer " + adminPassword.toStdString()}};
    Timed t;
    QElapsedTimer timer;
    timer.start();
    if (std::string_view(method) == "GET") {
        auto result = client.Get(path, headers, [&](const char*, size_t n) {
            t.bytes += qint64(n);
            return true;
        });
        t.status = result ? result->status : 0;
    } else {
        auto result = client.Post(path, headers, "{\"includePromptContents\":true}", "application/json");
        t.status = result ? result->status : 0;
        t.body = result ? result->body : std::string();
        // The answer names the archive; its size is what was written.
        if (auto answer = decodeJson<ClientDiagnosticsResponse>(QByteArray::fromStdString(t.body)))
            t.bytes = QFileInfo(answer->bundlePath).size();
    }
    t.seconds = double(timer.nsecsElapsed()) / 1e9;
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QString build = qEnvironmentVariable("TAVRIN_BUILD_DIR");
    qint64 records = 1'000'000;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1StringView("--records") && i + 1 < argc)
            records = QString::fromLocal8Bit(argv[++i]).toLongLong();
        else
            build = arg;
    }
    const QString server = build + QStringLiteral("/libexec/tavrin-server");
    if (build.isEmpty() || !QFile::exists(server)) {
        std::fprintf(stderr, "usage: bench-server-export BUILD_DIR [--records N] (no %s)\n", qPrintable(server));
        return 2;
    }

    QTemporaryDir root;
    const QString state = root.path() + QStringLiteral("/Tavrin Server");
    QElapsedTimer timer;
    timer.start();
    const qint64 logBytes = writeAuditLog(state + QStringLiteral("/audit"), records);
    std::printf("audit log: %lld records, %.1f MB, written in %.1f s\n", static_cast<long long>(records),
                double(logBytes) / 1048576.0, double(timer.elapsed()) / 1000.0);
    QFile secret(state + QStringLiteral("/admin.secret"));
    if (!secret.open(QIODevice::WriteOnly))
        return 1;
    secret.write(adminPassword);
    secret.close();
    QFile logging(state + QStringLiteral("/logging.json"));
    if (!logging.open(QIODevice::WriteOnly))
        return 1;
    logging.write(R"({"mode":"privacy","retentionDays":30,"includePromptContentsInDiagnostics":true})");
    logging.close();

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(server, {QStringLiteral("serve"), QStringLiteral("--state-dir"), state, QStringLiteral("--port"), QStringLiteral("0"),
                           QStringLiteral("--admin-port"), QStringLiteral("0"),
                           QStringLiteral("--model-source"), root.path() + QStringLiteral("/no-model")});
    if (!process.waitForReadyRead(15000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const QByteArray line = process.readLine().trimmed();
    const quint16 port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
    const qint64 pid = process.processId();
    std::printf("server idle: RSS %.1f MB\n", double(statusKiB(pid, "VmRSS")) / 1024);

    const auto run = [&](const char* name, const char* method, const std::string& path) {
        const Timed t = fetch(port, method, path);
        std::printf("%-34s HTTP %d  %8.1f MB in %6.2f s (%7.0f records/s)  server peak RSS so far %.1f MB\n", name, t.status,
                    double(t.bytes) / 1048576.0, t.seconds, double(records) / t.seconds, double(statusKiB(pid, "VmHWM")) / 1024);
        return t.status == 200;
    };
    bool ok = run("export CSV", "GET", "/admin/audit/export?format=csv");
    ok = run("export JSONL (text redacted)", "GET", "/admin/audit/export?format=jsonl&includePromptContents=false") && ok;
    ok = run("export JSONL (with text)", "GET", "/admin/audit/export?format=jsonl&includePromptContents=true") && ok;
    ok = run("support bundle (with text)", "POST", "/admin/diagnostics") && ok;
    const long peak = statusKiB(pid, "VmHWM");
    process.terminate();
    process.waitForFinished(10000);
    std::printf("target: peak server memory under 64 MB: %s (%.1f MB)\n", peak < 64 * 1024 ? "met" : "MISSED", double(peak) / 1024);
    return ok ? 0 : 1;
}
