#include "cli/RecordText.h"

#include "base/ShownFigures.h"
#include "state/ActionWords.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace tavrin::cli {

namespace {

QString none() {
    return QCoreApplication::translate("RecordText", "none");
}

QString listOrNone(const std::vector<QString>& entries) {
    return entries.empty() ? none() : QStringList(entries.begin(), entries.end()).join(QLatin1String(", "));
}

// The first twelve characters of a digest: enough to tell two models apart at a glance.
QString shortDigest(const QString& digest) { return digest.size() > 12 ? digest.left(12) + QStringLiteral("…") : digest; }

QString snapshotLine(const ClientModelSnapshot& snapshot) {
    return QCoreApplication::translate("RecordText", "%1 (%2, sha256 %3, imported %4)")
        .arg(snapshot.alias, snapshot.id, shortDigest(snapshot.modelSha256), shownMoment(snapshot.importedAt));
}

} // namespace

QString fieldLines(const std::vector<std::pair<QString, QString>>& fields) {
    qsizetype width = 0;
    for (const auto& [name, value] : fields)
        width = std::max(width, name.size());
    QString text;
    for (const auto& [name, value] : fields)
        text += name.leftJustified(width + 2) + value + QLatin1Char('\n');
    return text;
}

QString onOff(bool on) {
    return on ? QCoreApplication::translate("RecordText", "on")
              : QCoreApplication::translate("RecordText", "off");
}

QString uptimeText(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds >= 9.2e18)
        return QStringLiteral("—");
    const qint64 whole = qint64(seconds);
    //: Server uptime: %1 whole hours, %2 minutes.
    return QCoreApplication::translate("RecordText", "%1h %2m").arg(whole / 3600).arg(whole % 3600 / 60);
}

QString statusText(const ClientServerStatus& status, const QString& hostName, std::optional<bool> startAtLogin) {
    const QString port = QString::number(status.bind.bindPort);
    std::vector<std::pair<QString, QString>> fields{
        {QCoreApplication::translate("RecordText", "Phase"),
         QCoreApplication::translate("RecordText", "running")},
        {QCoreApplication::translate("RecordText", "Version"),
         QCoreApplication::translate("RecordText", "%1 (pid %2)").arg(status.serverVersion).arg(status.pid)},
        {QCoreApplication::translate("RecordText", "Uptime"), uptimeText(status.uptimeSeconds)},
        {QCoreApplication::translate("RecordText", "Endpoint"),
         QStringLiteral("http://127.0.0.1:%1/v1").arg(port)},
        {QCoreApplication::translate("RecordText", "LAN endpoint"),
         status.bind.lanEnabled ? QStringLiteral("http://%1:%2/v1").arg(hostName, port)
                                : QCoreApplication::translate("RecordText", "off")},
    };
    const auto& running = status.model.running;
    fields.push_back({QCoreApplication::translate("RecordText", "Model"),
                      running ? QCoreApplication::translate("RecordText", "%1 (sha256 %2)")
                                    .arg(running->productionAlias, shortDigest(running->modelSha256))
                              : QCoreApplication::translate("RecordText", "none loaded")});
    if (const auto& load = status.concurrency)
        fields.push_back({QCoreApplication::translate("RecordText", "Load"),
                          QCoreApplication::translate("RecordText",
                                                      "%1 in flight, %2 queued (at most %3 at once), %4 done")
                              .arg(load->inFlight)
                              .arg(load->queued)
                              .arg(load->maxConcurrency)
                              .arg(load->totalCompleted)});
    if (startAtLogin)
        fields.push_back({QCoreApplication::translate("RecordText", "Start at login"), onOff(*startAtLogin)});
    fields.push_back({QCoreApplication::translate("RecordText", "State folder"), status.stateDirectory});
    if (status.auditUnavailable) {
        const AuditRefusalText refusal = auditRefusalText(*status.auditUnavailable);
        fields.push_back({QCoreApplication::translate("RecordText", "Audit"),
                          refusal.title + QLatin1Char(' ') + refusal.message});
    }
    return fieldLines(fields);
}

QString scopesText(const std::optional<std::vector<ClientAPIKeyScope>>& scopes) {
    if (!scopes)
        return QStringLiteral("-");
    QStringList names;
    for (ClientAPIKeyScope scope : *scopes)
        names << rawValue(scope);
    return names.join(QLatin1Char(','));
}

QString keyTable(const ClientAPIKeyList& keys) {
    std::vector<QStringList> rows{{QCoreApplication::translate("RecordText", "ID"),
                                   QCoreApplication::translate("RecordText", "LABEL"),
                                   QCoreApplication::translate("RecordText", "SCOPES"),
                                   QCoreApplication::translate("RecordText", "STATUS"),
                                   QCoreApplication::translate("RecordText", "REQUESTS"),
                                   QCoreApplication::translate("RecordText", "LAST USED")}};
    for (const ClientAPIKeyPublic& key : keys)
        rows.push_back({key.id, key.label, scopesText(key.scopes), key.status,
                        shownCount(key.totalRequests),
                        key.lastUsedAt ? shownMoment(*key.lastUsedAt)
                                       : QCoreApplication::translate("RecordText", "never")});
    std::vector<qsizetype> widths(rows.front().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[std::size_t(i)] = std::max(widths[std::size_t(i)], row[i].size());
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[std::size_t(i)] + 2) : row[i];
        text += line + QLatin1Char('\n');
    }
    return text;
}

QString loggingText(const ClientAuditLoggingSettings& settings) {
    return fieldLines({
        {QCoreApplication::translate("RecordText", "Mode"), rawValue(settings.mode)},
        {QCoreApplication::translate("RecordText", "Retention"),
         QCoreApplication::translate("RecordText", "%n day(s)", nullptr, pluralCount(settings.retentionDays))},
        {QCoreApplication::translate("RecordText", "Contents in support bundles"),
         onOff(settings.includePromptContentsInDiagnostics)},
    });
}

QString networkText(const ClientNetworkPreferences& preferences) {
    return fieldLines({
        {QCoreApplication::translate("RecordText", "LAN"), onOff(preferences.lanEnabled)},
        {QCoreApplication::translate("RecordText", "Host"), preferences.bindHost},
        {QCoreApplication::translate("RecordText", "Port"), QString::number(preferences.bindPort)},
        {QCoreApplication::translate("RecordText", "mDNS name"), preferences.mdnsName.value_or(none())},
        {QCoreApplication::translate("RecordText", "CORS origins"),
         listOrNone(preferences.corsAllowedOrigins)},
        {QCoreApplication::translate("RecordText", "IP allowlist"), listOrNone(preferences.ipAllowlist)},
    });
}

QString modelsText(const ClientModelStatus& models) {
    std::vector<std::pair<QString, QString>> fields;
    if (const auto& running = models.running)
        fields.push_back({QCoreApplication::translate("RecordText", "Running"),
                          QCoreApplication::translate("RecordText", "%1 (%2, sha256 %3, imported %4)")
                              .arg(running->productionAlias, running->id, shortDigest(running->modelSha256),
                                   shownMoment(running->importedAt))});
    else
        fields.push_back({QCoreApplication::translate("RecordText", "Running"),
                          QCoreApplication::translate("RecordText", "none loaded")});
    const ClientModelPinState& pins = models.pinState;
    fields.push_back({QCoreApplication::translate("RecordText", "Staged"),
                      pins.stagedUpdate ? snapshotLine(*pins.stagedUpdate) : none()});
    for (std::size_t i = 0; i < pins.previous.size(); ++i)
        fields.push_back({i == 0 ? QCoreApplication::translate("RecordText", "Previous") : QString(),
                          snapshotLine(pins.previous[i])});
    if (pins.previous.empty())
        fields.push_back({QCoreApplication::translate("RecordText", "Previous"), none()});
    if (models.restartRequired)
        fields.push_back({QCoreApplication::translate("RecordText", "Restart"),
                          QCoreApplication::translate("RecordText", "needed to load the production model")});
    return fieldLines(fields);
}

QString updaterText(const ClientUpdaterStatus& updater) {
    std::vector<std::pair<QString, QString>> fields{
        {QCoreApplication::translate("RecordText", "Version"), updater.current},
        {QCoreApplication::translate("RecordText", "Updates"),
         updater.enabled ? QCoreApplication::translate("RecordText", "on, %1 channel").arg(updater.channel)
                         : QCoreApplication::translate("RecordText", "off")},
        {QCoreApplication::translate("RecordText", "Last checked"),
         updater.lastCheckedAt ? shownMoment(*updater.lastCheckedAt)
                               : QCoreApplication::translate("RecordText", "never")},
    };
    if (const auto& release = updater.availableUpdate)
        fields.push_back({QCoreApplication::translate("RecordText", "Available"),
                          QCoreApplication::translate("RecordText", "%1, released %2")
                              .arg(release->version, shownMoment(release->publishedAt))});
    else
        fields.push_back({QCoreApplication::translate("RecordText", "Available"), none()});
    fields.push_back({QCoreApplication::translate("RecordText", "Downloaded"),
                      updater.stagedDownloadPath.value_or(none())});
    if (updater.lastError)
        fields.push_back({QCoreApplication::translate("RecordText", "Last error"), *updater.lastError});
    return fieldLines(fields);
}

} // namespace tavrin::cli
