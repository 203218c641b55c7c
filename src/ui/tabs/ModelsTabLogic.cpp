#include "ui/tabs/ModelsTabLogic.h"

#include "ui/ServerFigures.h"

#include <QStringList>

namespace tavrin {

namespace {
const QString kJoin = QStringLiteral(" · ");
} // namespace

ProductionLook productionLook(const ClientModelStatus& model) {
    if (!model.running)
        return {QStringLiteral("No model loaded").toUpper(), std::nullopt,
                {QStringLiteral("Not loaded"), PillKind::muted}};
    const ClientModelMetadata& running = *model.running;
    QString imported = QStringLiteral("Imported ") + running.importedAt;
    if (running.sourceAppVersion)
        imported += QStringLiteral(" · from Tavrin AI ") + *running.sourceAppVersion;
    return {running.productionAlias.toUpper(), imported, {QStringLiteral("Healthy"), PillKind::ok}};
}

std::optional<std::vector<PillLook>> stagePills(const std::optional<ClientCompositionStages>& stages) {
    if (!stages)
        return std::nullopt;
    std::vector<PillLook> pills;
    if (stages->adapterApplied)
        pills.push_back({QStringLiteral("Adapter ✓"), PillKind::brand});
    if (stages->steeringApplied)
        pills.push_back({QStringLiteral("Steering ✓"), PillKind::brand});
    if (stages->systemPromptApplied)
        pills.push_back({QStringLiteral("System prompt ✓"), PillKind::brand});
    if (pills.empty())
        pills.push_back({QStringLiteral("Base model only"), PillKind::muted});
    return pills;
}

std::vector<TechnicalRow> modelDetailRows(const ClientModelMetadata& running) {
    const auto plain = [](QString label, QString value) { return TechnicalRow{std::move(label), std::move(value), false, {}, {}}; };
    std::vector<TechnicalRow> rows{
        plain(QStringLiteral("Alias"), running.productionAlias),
        plain(QStringLiteral("Pipeline version"), QString::number(running.manifestPipelineVersion)),
        // The row shows the hash cut short; a reader reads, and its copy button copies, the whole of it.
        {QStringLiteral("SHA-256"), shortenedHash(running.modelSha256), true, running.modelSha256,
         copyModelHashName()},
        plain(QStringLiteral("Staged path"), running.stagedBundlePath),
    };
    if (running.sourceAppVersion)
        rows.push_back(plain(QStringLiteral("Source app version"), *running.sourceAppVersion));
    return rows;
}

QString snapshotSummary(const ClientModelSnapshot& snapshot) {
    QStringList parts;
    if (snapshot.sourceAppVersion)
        parts << QStringLiteral("From Tavrin AI ") + *snapshot.sourceAppVersion;
    parts << QStringLiteral("imported ") + snapshot.importedAt;
    parts << QStringLiteral("pipeline ") + QString::number(snapshot.manifestPipelineVersion);
    return parts.join(kJoin);
}

std::optional<StagedLook> stagedLook(const ClientModelStatus& model) {
    const auto& staged = model.pinState.stagedUpdate;
    if (!staged)
        return std::nullopt;
    return StagedLook{staged->alias + QStringLiteral(" is ready to promote"), staged->alias + kJoin + QStringLiteral("staged"),
                      snapshotSummary(*staged), !model.pinState.previous.empty(), model.restartRequired};
}

std::vector<HistoryEntry> historyEntries(const std::vector<ClientModelSnapshot>& previous) {
    std::vector<HistoryEntry> entries;
    for (std::size_t i = 0; i < previous.size(); ++i) {
        QString pill;
        if (i == 0)
            pill = QStringLiteral("Previous");
        else if (i + 1 == previous.size())
            pill = QStringLiteral("First install");
        entries.push_back({previous[i].alias, pill, QStringLiteral("Promoted ") + previous[i].importedAt, i == 0});
    }
    return entries;
}



} // namespace tavrin
