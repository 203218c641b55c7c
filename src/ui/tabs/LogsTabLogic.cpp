#include "ui/tabs/LogsTabLogic.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace tavrin {

namespace {

struct RetentionChoice {
    qint64 days;
    const char* label;
};
constexpr std::array<RetentionChoice, 4> kRetention{{{7, "7 days"}, {30, "30 days"}, {90, "90 days"}, {365, "365 days"}}};

} // namespace

std::vector<ModeCardText> modeCards(ClientAuditMode current) {
    const auto card = [current](ClientAuditMode mode, const char* otherwise, const char* title,
                                const char* description) {
        const bool on = mode == current;
        return ModeCardText{mode, on ? QStringLiteral("Active") : QString::fromUtf8(otherwise),
                            QString::fromUtf8(title), QString::fromUtf8(description), on};
    };
    return {
        card(ClientAuditMode::none, "Default", "None",
             "Nothing is logged. The server keeps no record of who called it or what they asked."),
        card(ClientAuditMode::privacy, "Standard", "Privacy",
             "Timestamps, key ID, response time, token counts. No prompts, no responses."),
        card(ClientAuditMode::audit, "Compliance", "Audit",
             "Everything in Privacy, plus prompt and response text. Required for many regulated contexts."),
    };
}

QStringList retentionLabels() {
    QStringList labels;
    for (const RetentionChoice& choice : kRetention)
        labels << QString::fromUtf8(choice.label);
    return labels;
}

qint64 retentionDays(int index) { return kRetention.at(std::size_t(index)).days; }

int retentionIndex(qint64 days) {
    const auto found = std::ranges::find(kRetention, days, &RetentionChoice::days);
    return found == kRetention.end() ? -1 : int(found - kRetention.begin());
}

ExportChoice usageExport() {
    return {{AuditExportRequest::Format::csv, false},
            exportFileName(AuditExportRequest::Format::csv),
            QStringLiteral("CSV (*.csv)")};
}

ExportChoice auditExport(bool includeContents) {
    return {{AuditExportRequest::Format::jsonl, includeContents},
            exportFileName(AuditExportRequest::Format::jsonl),
            QStringLiteral("JSON (*.jsonl *.json)")};
}

QString exportSavedMessage(const QString& path) { return QStringLiteral("Saved ") + QFileInfo(path).fileName(); }


} // namespace tavrin
