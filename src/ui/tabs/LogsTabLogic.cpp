#include "ui/tabs/LogsTabLogic.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace tavrin {

namespace {

struct RetentionChoice {
    qint64 days;
    const char* label;
};
constexpr std::array<RetentionChoice, 4> kRetention{{{7, QT_TRANSLATE_NOOP("LogsTabLogic", "7 days")},
                                                     {30, QT_TRANSLATE_NOOP("LogsTabLogic", "30 days")},
                                                     {90, QT_TRANSLATE_NOOP("LogsTabLogic", "90 days")},
                                                     {365, QT_TRANSLATE_NOOP("LogsTabLogic", "365 days")}}};

// The tables hold the English; what the user reads is looked up when shown.
QString shown(const char* text) {
    return QCoreApplication::translate("LogsTabLogic", text);
}

} // namespace

std::vector<ModeCardText> modeCards(ClientAuditMode current) {
    const auto card = [current](ClientAuditMode mode, const char* otherwise, const char* title,
                                const char* description) {
        const bool on = mode == current;
        return ModeCardText{mode,
                            on ? QCoreApplication::translate("LogsTabLogic", "Active") : shown(otherwise),
                            shown(title), shown(description), on};
    };
    return {
        card(ClientAuditMode::none, QT_TRANSLATE_NOOP("LogsTabLogic", "Default"),
             QT_TRANSLATE_NOOP("LogsTabLogic", "None"),
             QT_TRANSLATE_NOOP(
                 "LogsTabLogic",
                 "Nothing is logged. The server keeps no record of who called it or what they asked.")),
        //: The tag of the middle logging mode, beside "Default" and "Compliance".
        card(ClientAuditMode::privacy, QT_TRANSLATE_NOOP("LogsTabLogic", "Standard"),
             QT_TRANSLATE_NOOP("LogsTabLogic", "Privacy"),
             QT_TRANSLATE_NOOP("LogsTabLogic",
                               "Timestamps, key ID, response time, token counts. No prompts, no responses.")),
        card(ClientAuditMode::audit, QT_TRANSLATE_NOOP("LogsTabLogic", "Compliance"),
             QT_TRANSLATE_NOOP("LogsTabLogic", "Audit"),
             QT_TRANSLATE_NOOP("LogsTabLogic", "Everything in Privacy, plus prompt and response text. "
                                               "Required for many regulated contexts.")),
    };
}

QStringList retentionLabels() {
    QStringList labels;
    for (const RetentionChoice& choice : kRetention)
        labels << shown(choice.label);
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

QString exportSavedMessage(const QString& path) {
    return QCoreApplication::translate("LogsTabLogic", "Saved %1").arg(QFileInfo(path).fileName());
}

} // namespace tavrin
