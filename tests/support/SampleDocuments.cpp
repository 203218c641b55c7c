#include "support/SampleDocuments.h"

#include "support/ScriptedEngine.h"

#include <QByteArrayList>
#include <QString>

namespace tavrin::test {

namespace {

const char* const kSnapshot = R"json({
  "id": "snap-%1", "alias": "keldmarch-%1", "modelSha256": "%2",
  "manifestPipelineVersion": %3, "sourceBundlePath": "/opt/tavrin-ai/resources",
  "stagedBundlePath": "/home/ada/.local/share/Tavrin Server/models/snap-%1",
  "importedAt": "2026-11-0%3T09:12:44Z", "sourceAppVersion": "2.%3.0",
  "checksums": {"model.safetensors": "%2", "manifest.json": "9f2c"}
})json";

QByteArray snapshot(int n) {
    return QString::fromUtf8(kSnapshot)
        .arg(n)
        .arg(QStringLiteral("a3f1c9e0b7d24c6e8f1a2b3c4d5e6f708192a3b4c5d6e7f8091a2b3c4d5e6f7%1").arg(n))
        .arg(n)
        .toUtf8();
}

} // namespace

QByteArray fullStatusDocument() {
    return QByteArray(R"json({
  "serverVersion": "1.4.2", "stateDirectory": "/home/ada/.local/share/Tavrin Server",
  "pid": 4321, "startedAt": "2026-12-06T08:00:00Z",
  "bind": {"bindHost": "0.0.0.0", "bindPort": 11434, "lanEnabled": true, "mdnsName": "tavrin-ada",
           "corsAllowedOrigins": ["https://intranet.example"], "ipAllowlist": ["192.168.1.0/24", "10.0.0.7"]},
  "uptimeSeconds": 7384.25,
  "model": {
    "running": {"id": "m-1", "aliases": ["keldmarch", "default"], "productionAlias": "keldmarch-1",
                "modelSha256": "a3f1c9e0b7d24c6e8f1a2b3c4d5e6f708192a3b4c5d6e7f8091a2b3c4d5e6f71",
                "manifestPipelineVersion": 3, "sourceAppVersion": "2.1.0",
                "stagedBundlePath": "/home/ada/.local/share/Tavrin Server/models/snap-1",
                "importedAt": "2026-11-01T09:12:44Z"},
    "detectedSource": {"id": "m-2", "aliases": ["keldmarch"], "productionAlias": "keldmarch-2",
                "modelSha256": "b3f1", "manifestPipelineVersion": 4,
                "stagedBundlePath": "/opt/tavrin-ai/resources", "importedAt": "2026-12-01T10:00:00Z"},
    "pinState": {"production": )json") +
           snapshot(1) + R"json(, "stagedUpdate": )json" + snapshot(2) + R"json(, "previous": [)json" +
           snapshot(3) + "," + snapshot(4) + R"json(]},
    "updateAvailable": true, "restartRequired": false
  },
  "stages": {"adapterApplied": true, "softPromptApplied": false, "steeringApplied": true,
             "steeringMode": "contrastive", "steeringAlpha": 0.35, "systemPromptApplied": true,
             "systemPromptChars": 212},
  "logging": {"mode": "hash", "retentionDays": 30, "includePromptContentsInDiagnostics": false},
  "updater": {"enabled": true, "channel": "stable", "current": "1.4.2",
              "lastCheckedAt": "2026-12-06T07:00:00Z", "lastError": "feed unreachable",
              "availableUpdate": {"version": "1.5.0", "publishedAt": "2026-12-05T12:00:00Z",
                 "minimumServerVersion": "1.3.0", "pkgURL": "https://updates.tavrin.invalid/1.5.0.pkg",
                 "pkgSha256": "c0ffee", "pkgSize": 73400320,
                 "releaseNotesURL": "https://updates.tavrin.invalid/notes/1.5.0",
                 "releaseNotes": "Faster start.\nFewer surprises.", "signature": "c2lnbmF0dXJl"},
              "stagedDownloadPath": "/home/ada/.local/share/Tavrin Server/updates/1.5.0.pkg"},
  "hardware": {"macOSVersion": "Debian GNU/Linux 12 (bookworm)", "macOSBuild": "6.1.0-27-amd64",
               "cpuBrand": "Apple M3 Max", "cpuCores": 14, "totalMemoryBytes": 38654705664,
               "totalMemoryGB": 36.0, "freeDiskBytes": 512000000000, "isAppleSilicon": true,
               "hostname": "ada-studio", "appleSiliconChip": "Apple M3 Max", "chipTier": "max",
               "supportLevel": "supported", "supportNotes": [], "recommendedConcurrency": 8,
               "recommendedMaxQueueDepth": 32},
  "concurrency": {"maxConcurrency": 8, "maxQueueDepth": 32, "inFlight": 2, "queued": 1,
                  "totalCompleted": 1234, "totalRejected": 5},
  "orgPreamble": "Answer as the Keldmarch team's assistant. Be brief.",
  "futureField": {"ignored": true}
})json";
}

QByteArray keyDocument(int index) {
    return QString::fromUtf8(
               R"json({"id":"key-%1","label":"Build farm %1","prefix":"tk-%2","createdAt":"2026-10-01T08:00:00Z",)json"
               R"json("lastRotatedAt":"2026-11-01T08:00:00Z","lastUsedAt":"2026-12-06T07:59:00Z",)json"
               R"json("lastClientIP":"192.168.1.%3","totalRequests":%4,"promptTokens":%5,)json"
               R"json("completionTokens":%6,"status":"active","scopes":["inference","readonly"]})json")
        .arg(index)
        .arg(index % 100000, 5, 10, QLatin1Char('0'))
        .arg(index % 250 + 2)
        .arg(index * 7)
        .arg(index * 1300)
        .arg(index * 420)
        .toUtf8();
}

QByteArray keyListDocument(int count) {
    QByteArrayList keys;
    for (int i = 0; i < count; ++i)
        keys << keyDocument(i);
    return '[' + keys.join(',') + ']';
}

QByteArray engineEventStream(const QStringList& pieces) { return eventStream(pieces, std::nullopt); }

} // namespace tavrin::test
