#include "state/ActionWords.h"

#include <QLocale>

namespace tavrin {

QString settingsSavedMessage() { return QStringLiteral("Saved."); }

QString engineName(const ClientEngineSettings& settings) {
    if (!settings.url)
        return QStringLiteral("Built-in echo engine");
    return QStringLiteral("%1 at %2").arg(settings.servedName.value_or(settings.model.value_or(QString())), *settings.url);
}

QString engineSavedMessage(const ClientEngineSettings& saved) {
    return QStringLiteral("Saved. New requests go to the %1.")
        .arg(saved.url ? QStringLiteral("engine serving ") + engineName(saved) : QStringLiteral("built-in echo engine"));
}

QString networkSavedMessage() { return QStringLiteral("Saved. Restart the server to apply."); }

QString preambleSavedMessage(const ClientOrgPreambleResponse& saved) {
    return saved.preamble ? QStringLiteral("Preamble saved. Future requests will include it.")
                          : QStringLiteral("Preamble cleared.");
}

QString promotedMessage() { return QStringLiteral("Promoted. Restart the server for the runtime to load the new model."); }

QString rolledBackMessage() {
    return QStringLiteral("Rolled back. Restart the server for the runtime to load the previous model.");
}

QString updateCheckedMessage(bool found) { return found ? QStringLiteral("Update found.") : QStringLiteral("Up to date."); }

QString exportProgressText(qint64 bytes) {
    return QStringLiteral("Downloading… %1").arg(QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat));
}

QString exportFileName(AuditExportRequest::Format format) {
    return format == AuditExportRequest::Format::csv ? QStringLiteral("tavrin-server-usage.csv")
                                                     : QStringLiteral("tavrin-server-audit.jsonl");
}

AuditRefusalText auditRefusalText(const QString& reason) {
    QString sentence = reason.trimmed();
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
        if (!sentence.endsWith(QLatin1Char('.')))
            sentence += QLatin1Char('.');
    }
    return {QStringLiteral("Audit log can't be written: requests are being refused."), sentence};
}

} // namespace tavrin
