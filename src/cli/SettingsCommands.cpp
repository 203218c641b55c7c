// The CommandRunner's commands for the records the Logs, Network and Org Preamble tabs edit, and for
// the audit log's exports: each reads the whole record, changes what the command line names, and
// saves the whole record, as the tabs do.

#include "cli/CommandRunner.h"

#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace tavrin::cli {

namespace {

std::vector<QString> entries(const QStringList& list) { return {list.begin(), list.end()}; }

} // namespace

QCoro::Task<int> CommandRunner::logging() {
    SettingsActions& settings = m_state.settingsActions();
    ActionOutcome<ClientAuditLoggingSettings> current = co_await settings.loggingSettings();
    if (!current)
        co_return fail(current.error());
    if (command() == Command::loggingShow) {
        if (!printedAsJson(*current))
            Terminal::out(loggingText(*current));
        co_return done;
    }
    if (m_invocation.has(QStringLiteral("mode")))
        current->mode = *enumFromRawValue<ClientAuditMode>(m_invocation.value(QStringLiteral("mode")));
    if (m_invocation.has(QStringLiteral("retention")))
        current->retentionDays = m_invocation.value(QStringLiteral("retention")).toLongLong();
    if (m_invocation.has(QStringLiteral("include-contents")))
        current->includePromptContentsInDiagnostics = m_invocation.value(QStringLiteral("include-contents")) == QLatin1String("on");
    const ClientAuditLoggingSettings wanted = *current;
    const ActionOutcome<ClientAuditLoggingSettings> saved = co_await settings.saveLoggingSettings(wanted);
    if (!saved)
        co_return fail(saved.error());
    if (!printedAsJson(*saved))
        Terminal::out(settingsSavedMessage());
    co_return done;
}

QCoro::Task<int> CommandRunner::exportLog() {
    const bool csv = m_invocation.arguments.value(0) == QLatin1String("csv");
    const bool includeContents = m_invocation.has(QStringLiteral("include-contents"));
    if (csv && includeContents)
        co_return usageError(QStringLiteral("prompt contents go into the jsonl export only"));
    const AuditExportRequest request{csv ? AuditExportRequest::Format::csv : AuditExportRequest::Format::jsonl,
                                     includeContents};
    const QString output = m_invocation.value(QStringLiteral("output"));
    SettingsActions& settings = m_state.settingsActions();

    if (!output.isEmpty() && output != QLatin1String("-")) {
        // Streamed into a hidden file beside the destination, which is replaced only by the whole export.
        const QFileInfo destination(output);
        const auto download = settings.startAuditExport(request, destination.absolutePath(), destination.fileName());
        Terminal::removeOnInterrupt(download->temporaryPath());
        QObject::connect(download.get(), &ExportDownload::progress, [](qint64 bytes) {
            Terminal::progress(exportProgressText(bytes));
        });
        const QString path = destination.absoluteFilePath();
        const ActionResult saved = co_await download->saveAs(path);
        Terminal::removeOnInterrupt({});
        Terminal::endProgress();
        if (!saved)
            co_return fail(saved.error());
        if (!m_invocation.json)
            Terminal::out(QStringLiteral("Saved ") + destination.fileName());
        co_return done;
    }

    // To standard output, as it arrives: read from the download's own file while it grows, then dropped
    // with it. A reader that goes away (a pipe into head) stops the copy, not the download, which ends
    // as it would and takes its file with it.
    const auto download = settings.startAuditExport(request, QDir::tempPath(), exportFileName(request.format));
    Terminal::removeOnInterrupt(download->temporaryPath());
    QFile growing(download->temporaryPath());
    growing.open(QIODevice::ReadOnly | QIODevice::Unbuffered); // reads what was written since, every time
    QString broken;
    const auto pass = [&] {
        while (broken.isEmpty() && growing.isOpen()) {
            const QByteArray chunk = growing.read(256 * 1024);
            if (chunk.isEmpty() || !Terminal::write(chunk, &broken))
                break;
        }
    };
    QObject::connect(download.get(), &ExportDownload::progress, download.get(), pass);
    const ActionResult completed = co_await download->completed();
    if (completed)
        pass();
    download->cancel();
    Terminal::removeOnInterrupt({});
    if (!completed)
        co_return fail(completed.error());
    if (broken.isEmpty() && !Terminal::flush())
        broken = QStringLiteral("the output could not be written");
    if (!broken.isEmpty()) {
        Terminal::err(QStringLiteral("standard output: ") + broken);
        co_return failed;
    }
    co_return done;
}

QCoro::Task<int> CommandRunner::network() {
    SettingsActions& settings = m_state.settingsActions();
    ActionOutcome<ClientNetworkPreferences> current = co_await settings.networkPreferences();
    if (!current)
        co_return fail(current.error());
    if (command() == Command::networkShow) {
        if (!printedAsJson(*current))
            Terminal::out(networkText(*current));
        co_return done;
    }
    const Invocation& asked = m_invocation;
    if (asked.has(QStringLiteral("mdns")) && asked.has(QStringLiteral("no-mdns")))
        co_return usageError(QStringLiteral("--mdns and --no-mdns contradict each other"));
    ClientNetworkPreferences& prefs = *current;
    if (asked.has(QStringLiteral("lan"))) { // as the panel's switch: every interface, or this machine only
        const bool on = asked.value(QStringLiteral("lan")) == QLatin1String("on");
        prefs = SettingsActions::withLanEnabled(prefs, on);
    }
    if (asked.has(QStringLiteral("host")))
        prefs.bindHost = asked.value(QStringLiteral("host"));
    if (asked.has(QStringLiteral("port"))) // whole, as the catalogue checked; the server judges the range
        prefs.bindPort = asked.value(QStringLiteral("port")).toLongLong();
    if (asked.has(QStringLiteral("mdns"))) { // an empty name is no name, as an empty field is
        const QString name = asked.value(QStringLiteral("mdns"));
        prefs.mdnsName = name.isEmpty() ? std::nullopt : std::optional(name);
    }
    if (asked.has(QStringLiteral("no-mdns")))
        prefs.mdnsName.reset();
    if (asked.has(QStringLiteral("cors")))
        prefs.corsAllowedOrigins = entries(asked.values(QStringLiteral("cors")));
    if (asked.has(QStringLiteral("allow")))
        prefs.ipAllowlist = entries(asked.values(QStringLiteral("allow")));
    const ClientNetworkPreferences wanted = prefs;
    const ActionOutcome<ClientNetworkPreferences> saved = co_await settings.saveNetworkPreferences(wanted);
    if (!saved)
        co_return fail(saved.error());
    if (!printedAsJson(*saved))
        Terminal::out(networkSavedMessage());
    co_return done;
}

QCoro::Task<int> CommandRunner::preamble() {
    SettingsActions& settings = m_state.settingsActions();
    const ActionOutcome<ClientOrgPreambleResponse> current = co_await settings.orgPreamble();
    if (!current)
        co_return fail(current.error());
    if (command() == Command::preambleShow) {
        if (!printedAsJson(*current) && current->preamble)
            Terminal::out(*current->preamble);
        co_return done;
    }
    QString typed;
    if (command() == Command::preambleSet) {
        typed = m_invocation.arguments.value(0);
        if (typed == QLatin1String("-")) {
            typed = QString::fromUtf8(Terminal::readInput());
            if (typed.endsWith(QLatin1Char('\n'))) // the input's last line break ends it; nobody typed it
                typed.chop(typed.endsWith(QLatin1String("\r\n")) ? 2 : 1);
        }
    }
    const qint64 limit = current->maxLength;
    const ActionOutcome<ClientOrgPreambleResponse> saved = co_await settings.saveOrgPreamble(typed, limit);
    if (!saved)
        co_return fail(saved.error());
    if (!printedAsJson(*saved))
        Terminal::out(preambleSavedMessage(*saved));
    co_return done;
}

} // namespace tavrin::cli
