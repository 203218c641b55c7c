#include "ui/tabs/ModelsTabLogic.h"

#include "base/ShownFigures.h"
#include "ui/ServerFigures.h"

#include <QCoreApplication>
#include <QStringList>

namespace tavrin {

namespace {
const QString kJoin = QStringLiteral(" · ");
} // namespace

ProductionLook productionLook(const ClientModelStatus& model) {
    if (!model.running)
        return {QCoreApplication::translate("ModelsTabLogic", "No model loaded").toUpper(),
                std::nullopt,
                {QCoreApplication::translate("ModelsTabLogic", "Not loaded"), PillKind::muted}};
    const ClientModelMetadata& running = *model.running;
    QString imported = QCoreApplication::translate("ModelsTabLogic", "Imported %1").arg(shownMoment(running.importedAt));
    if (running.sourceAppVersion)
        imported += QCoreApplication::translate("ModelsTabLogic", " · from Tavrin AI %1")
                        .arg(*running.sourceAppVersion);
    return {running.productionAlias.toUpper(),
            imported,
            {QCoreApplication::translate("ModelsTabLogic", "Healthy"), PillKind::ok}};
}

std::optional<std::vector<PillLook>> stagePills(const std::optional<ClientCompositionStages>& stages) {
    if (!stages)
        return std::nullopt;
    std::vector<PillLook> pills;
    if (stages->adapterApplied)
        pills.push_back({QCoreApplication::translate("ModelsTabLogic", "Adapter ✓"), PillKind::brand});
    if (stages->steeringApplied)
        pills.push_back({QCoreApplication::translate("ModelsTabLogic", "Steering ✓"), PillKind::brand});
    if (stages->systemPromptApplied)
        pills.push_back({QCoreApplication::translate("ModelsTabLogic", "System prompt ✓"), PillKind::brand});
    if (pills.empty())
        pills.push_back({QCoreApplication::translate("ModelsTabLogic", "Base model only"), PillKind::muted});
    return pills;
}

std::vector<TechnicalRow> modelDetailRows(const ClientModelMetadata& running) {
    const auto plain = [](QString label, QString value) { return TechnicalRow{std::move(label), std::move(value), false, {}, {}}; };
    std::vector<TechnicalRow> rows{
        plain(QCoreApplication::translate("ModelsTabLogic", "Alias"), running.productionAlias),
        plain(QCoreApplication::translate("ModelsTabLogic", "Pipeline version"),
              QString::number(running.manifestPipelineVersion)),
        // The row shows the hash cut short; a reader reads, and its copy button copies, the whole of it.
        {QCoreApplication::translate("ModelsTabLogic", "SHA-256"), shortenedHash(running.modelSha256), true,
         running.modelSha256, copyModelHashName()},
        plain(QCoreApplication::translate("ModelsTabLogic", "Staged path"), running.stagedBundlePath),
    };
    if (running.sourceAppVersion)
        rows.push_back(plain(QCoreApplication::translate("ModelsTabLogic", "Source app version"),
                             *running.sourceAppVersion));
    return rows;
}

QString snapshotSummary(const ClientModelSnapshot& snapshot) {
    QStringList parts;
    if (snapshot.sourceAppVersion)
        parts << QCoreApplication::translate("ModelsTabLogic", "From Tavrin AI %1")
                     .arg(*snapshot.sourceAppVersion);
    parts << QCoreApplication::translate("ModelsTabLogic", "imported %1").arg(shownMoment(snapshot.importedAt));
    parts
        << QCoreApplication::translate("ModelsTabLogic", "pipeline %1").arg(snapshot.manifestPipelineVersion);
    return parts.join(kJoin);
}

std::optional<StagedLook> stagedLook(const ClientModelStatus& model) {
    const auto& staged = model.pinState.stagedUpdate;
    if (!staged)
        return std::nullopt;
    return StagedLook{
        QCoreApplication::translate("ModelsTabLogic", "%1 is ready to promote").arg(staged->alias),
        //: A model delivered and waiting to be promoted to production.
        staged->alias + kJoin + QCoreApplication::translate("ModelsTabLogic", "staged"),
        snapshotSummary(*staged), !model.pinState.previous.empty(), model.restartRequired};
}

std::vector<HistoryEntry> historyEntries(const std::vector<ClientModelSnapshot>& previous) {
    std::vector<HistoryEntry> entries;
    for (std::size_t i = 0; i < previous.size(); ++i) {
        QString pill;
        if (i == 0)
            pill = QCoreApplication::translate("ModelsTabLogic", "Previous");
        else if (i + 1 == previous.size())
            pill = QCoreApplication::translate("ModelsTabLogic", "First install");
        entries.push_back(
            {previous[i].alias, pill,
             QCoreApplication::translate("ModelsTabLogic", "Promoted %1").arg(shownMoment(previous[i].importedAt)),
             i == 0});
    }
    return entries;
}



} // namespace tavrin
