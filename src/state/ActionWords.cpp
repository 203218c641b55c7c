#include "state/ActionWords.h"

#include <QCoreApplication>
#include <QLocale>

namespace tavrin {

QString settingsSavedMessage() {
    return QCoreApplication::translate("ActionWords", "Saved.");
}

QString engineSavedMessage(const ClientEngineSettings& saved) {
    if (!saved.url)
        return QCoreApplication::translate("ActionWords",
                                           "Saved. New requests go to the built-in echo engine.");
    return QCoreApplication::translate("ActionWords",
                                       "Saved. New requests go to the engine serving %1 at %2.")
        .arg(saved.servedName.value_or(saved.model.value_or(QString())), *saved.url);
}

QString networkSavedMessage() {
    return QCoreApplication::translate("ActionWords", "Saved. Restart the server to apply.");
}

QString preambleSavedMessage(const ClientOrgPreambleResponse& saved) {
    return saved.preamble ? QCoreApplication::translate("ActionWords",
                                                        "Preamble saved. Future requests will include it.")
                          : QCoreApplication::translate("ActionWords", "Preamble cleared.");
}

QString promotedMessage() {
    return QCoreApplication::translate("ActionWords",
                                       "Promoted. Restart the server for the runtime to load the new model.");
}

QString rolledBackMessage() {
    return QCoreApplication::translate(
        "ActionWords", "Rolled back. Restart the server for the runtime to load the previous model.");
}

QString updateCheckedMessage(bool found) {
    return found ? QCoreApplication::translate("ActionWords", "Update found.")
                 : QCoreApplication::translate("ActionWords", "Up to date.");
}

QString exportProgressText(qint64 bytes) {
    return QCoreApplication::translate("ActionWords", "Downloading… %1")
        .arg(QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat));
}

QString exportFileName(AuditExportRequest::Format format) {
    return format == AuditExportRequest::Format::csv ? QStringLiteral("tavrin-server-usage.csv")
                                                     : QStringLiteral("tavrin-server-audit.jsonl");
}

namespace {

QString asSentence(const QString& text) {
    QString sentence = text.trimmed();
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
        if (!sentence.endsWith(QLatin1Char('.')))
            sentence += QLatin1Char('.');
    }
    return sentence;
}

// The engine as its user named it: the built-in one, or the name clients see and where it is.
QString engineNamed(const ClientEngineHealth& engine) {
    if (!engine.url)
        return QCoreApplication::translate("ActionWords", "Built-in echo engine");
    const QString name = engine.servedName.value_or(engine.model.value_or(QString()));
    return name.isEmpty() ? *engine.url : name + QStringLiteral(" · ") + *engine.url;
}

} // namespace

AuditRefusalText auditRefusalText(const QString& reason) {
    return {
        QCoreApplication::translate("ActionWords", "Audit log can't be written: requests are being refused."),
        asSentence(reason)};
}

QString engineLine(const ClientEngineHealth& engine) {
    return engineNamed(engine) + (engine.reachable
                                      ? QCoreApplication::translate("ActionWords", " · answering")
                                      : QCoreApplication::translate("ActionWords", " · not answering"));
}

EngineDownText engineDownText(const ClientEngineHealth& engine) {
    const QString why = engine.lastError ? asSentence(*engine.lastError) + QLatin1Char(' ') : QString();
    return {QCoreApplication::translate("ActionWords", "The engine stopped answering"),
            QCoreApplication::translate("ActionWords", "%1 does not answer. %2Requests fail until it does.")
                .arg(engineNamed(engine), why)};
}

} // namespace tavrin
