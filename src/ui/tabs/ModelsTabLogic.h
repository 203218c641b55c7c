#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"
#include "ui/TechnicalRows.h"
#include "ui/kit/TRPill.h"

#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// What the Models tab shows of the model part of a status record, decided without a window.

struct PillLook {
    QString label;
    PillKind kind;
    bool operator==(const PillLook&) const = default;
};

// The running model: its name in capitals (or "NO MODEL LOADED"), where it came from, and its pill.
struct ProductionLook {
    QString name;
    std::optional<QString> imported; // only while a model runs
    PillLook status;
};
ProductionLook productionLook(const ClientModelStatus& model);

// The applied composition stages as pills, in their fixed order, or "Base model only"; nothing at
// all when the server does not say which stages it applies.
std::optional<std::vector<PillLook>> stagePills(const std::optional<ClientCompositionStages>& stages);

// "Technical details" of the running model.
std::vector<TechnicalRow> modelDetailRows(const ClientModelMetadata& running);

// "From Tavrin AI 2.1.0 · imported … · pipeline 3": the parts a snapshot has, joined.
QString snapshotSummary(const ClientModelSnapshot& snapshot);

// The staged update waiting for promotion, as its banner and card show it.
struct StagedLook {
    QString bannerTitle;
    QString cardTitle;
    QString summary;
    bool canRollBack = false;   // there is an earlier version to go back to
    bool restartNotice = false; // the server must restart to serve what is in production
};
std::optional<StagedLook> stagedLook(const ClientModelStatus& model);

// One row of the rollback history, most recent first.
struct HistoryEntry {
    QString alias;
    QString pill; // "Previous", "First install", or empty for none
    QString detail;
    bool rollBackHere = false; // the server always restores the top entry
    bool operator==(const HistoryEntry&) const = default;
};
std::vector<HistoryEntry> historyEntries(const std::vector<ClientModelSnapshot>& previous);

} // namespace tavrin
