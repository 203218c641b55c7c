// Decoding cost of the admin records, and one poll cycle of the admin client (health, status,
// key list) against a loopback server, beside curl making the same three requests.

#include "protocol/DaemonClient.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tavrin;

namespace {

template <class F> double medianMicros(int runs, F&& f) {
    std::vector<double> samples;
    samples.reserve(std::size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        samples.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void report(const char* what, double micros, const char* target = "") {
    std::printf("%-48s %10.3f ms %s\n", what, micros / 1000.0, target);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    const QByteArray status = test::fullStatusDocument();
    report("decode full status", medianMicros(2000, [&] {
               if (!decodeJson<ClientServerStatus>(status))
                   std::abort();
           }));
    for (int count : {1000, 10000}) {
        const QByteArray keys = test::keyListDocument(count);
        const double t = medianMicros(count == 1000 ? 200 : 30, [&] {
            if (!decodeJson<ClientAPIKeyList>(keys))
                std::abort();
        });
        char label[64];
        std::snprintf(label, sizeof label, "decode key list of %d (%lld KiB)", count,
                      (long long)keys.size() / 1024);
        report(label, t, count == 10000 ? "(target <= 15 ms)" : "");
    }

    test::ScriptedHttpServer server;
    server.route("/healthz", test::ScriptedResponse::text(200, "ok"));
    server.route("/admin/status", test::ScriptedResponse::json(200, status));
    server.route("/admin/keys", test::ScriptedResponse::json(200, test::keyListDocument(20)));
    DaemonClient client(server.baseUrl(), QStringLiteral("bench-secret"));

    auto cycle = [&] {
        const bool healthy = QCoro::waitFor(client.health());
        const auto s = QCoro::waitFor(client.status());
        const auto k = QCoro::waitFor(client.listKeys());
        if (!healthy || !s || !k)
            std::abort();
    };
    cycle(); // warm the connection, as the panel's poll loop always has
    const double clientCycle = medianMicros(200, cycle);

    const QString base = server.baseUrl().toString();
    const QStringList curlArgs{
        QStringLiteral("-sf"),       QStringLiteral("-o"),
        QStringLiteral("/dev/null"), base + "/healthz",
        QStringLiteral("-H"),        QStringLiteral("Authorization: Bearer bench-secret"),
        QStringLiteral("-o"),        QStringLiteral("/dev/null"),
        base + "/admin/status",      QStringLiteral("-o"),
        QStringLiteral("/dev/null"), base + "/admin/keys"};
    const double curlCycle = medianMicros(50, [&] {
        if (QProcess::execute(QStringLiteral("curl"), curlArgs) != 0)
            std::abort();
    });
    report("client cycle: health + status + keys", clientCycle);
    report("curl: the same three requests", curlCycle);
    std::printf("%-48s %10.2f x  (target <= 3x)\n", "ratio client / curl", clientCycle / curlCycle);
    return 0;
}
