#include "server/admin/SupportBundle.h"

#include "base/SupportBundleFile.h"
#include "server/admin/AuditExport.h"
#include "server/runtime/ServerContext.h"
#include "server/support/ServerLog.h"
#include "server/support/ZipWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace tavrin {

namespace {

std::expected<void, QString> addExport(ZipWriter& zip, const QString& name, AuditExport& source) {
    if (auto started = zip.begin(name); !started)
        return started;
    std::string chunk;
    while (source.next(chunk))
        if (auto written = zip.write(chunk); !written)
            return written;
    return zip.end();
}

} // namespace

std::expected<ClientDiagnosticsResponse, QString> writeSupportBundle(const ServerContext& context,
                                                                     const ClientServerStatus& status,
                                                                     bool promptContentsAsked) {
    const ClientAuditLoggingSettings logging = context.settings->logging();
    const bool allowed = promptContentsAsked && logging.includePromptContentsInDiagnostics;
    const QString folder = context.store.pathOf(QString::fromLatin1(SupportBundleFile::folderName));
    if (!QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("cannot create %1").arg(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QString path = folder + QStringLiteral("/tavrin-support-%1.zip").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    for (int n = 2; QFile::exists(path); ++n)
        path = folder + QStringLiteral("/tavrin-support-%1-%2.zip").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss"))).arg(n);

    ZipWriter zip;
    const QString cutoff = AuditLog::cutoff(logging.retentionDays, now);
    AuditExport usage(context.audit->directory(), AuditExport::Format::csv, false, cutoff);
    AuditExport records(context.audit->directory(), AuditExport::Format::jsonl, allowed, cutoff);
    const QByteArray log = recentLogLines().join(QLatin1Char('\n')).toUtf8() + '\n';
    std::expected<void, QString> step = zip.open(path);
    if (step)
        step = zip.add(QStringLiteral("hardware.json"), encodeJson(context.hardware).toStdString());
    if (step)
        step = zip.add(QStringLiteral("status.json"), encodeJson(status).toStdString());
    if (step)
        step = zip.add(QStringLiteral("logging.json"), encodeJson(logging).toStdString());
    if (step)
        step = addExport(zip, QStringLiteral("audit-usage.csv"), usage);
    if (step)
        step = addExport(zip, QStringLiteral("audit.jsonl"), records);
    if (step)
        step = zip.add(QStringLiteral("server.log"), log.toStdString());
    if (step)
        step = zip.finish();
    if (!step)
        return std::unexpected(QStringLiteral("could not write the support bundle: %1").arg(step.error()));

    ClientDiagnosticsResponse response;
    response.bundlePath = path;
    response.promptContentsIncluded = records.recordsWithText() > 0;
    if (response.promptContentsIncluded)
        response.message = QStringLiteral("Support bundle saved with the prompt contents of %1 audited requests.")
                               .arg(records.recordsWithText());
    else if (promptContentsAsked && !logging.includePromptContentsInDiagnostics)
        response.message = QStringLiteral("Support bundle saved. Prompt contents were left out: the master switch "
                                          "“Include prompt contents in diagnostic exports” is off.");
    else if (promptContentsAsked)
        response.message = QStringLiteral("Support bundle saved. No prompt contents were recorded to include.");
    else
        response.message = QStringLiteral("Support bundle saved. Prompt contents are redacted.");
    return response;
}

} // namespace tavrin
