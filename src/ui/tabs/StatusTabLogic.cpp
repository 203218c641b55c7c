#include "ui/tabs/StatusTabLogic.h"

#include "base/ShownFigures.h"
#include "ui/ServerFigures.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>

namespace tavrin {

StatusHeadline statusHeadline(const Phase& phase, const ScreenHeading& resting) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
        break;
    case Phase::Kind::stopped:
        return {QCoreApplication::translate("StatusTabLogic", "Your server is stopped."),
                QCoreApplication::translate(
                    "StatusTabLogic",
                    "Start it whenever you need it. The Tavrin app launches in the background and the "
                    "tray icon stays visible.")};
    case Phase::Kind::running:
        return {QCoreApplication::translate("StatusTabLogic", "Your Tavrin server is live."),
                QCoreApplication::translate(
                    "StatusTabLogic",
                    "One computer, two endpoints, no surveillance. Everything below reflects what the server "
                    "is doing right now.")};
    case Phase::Kind::unauthenticated:
        return {QCoreApplication::translate("StatusTabLogic", "Admin password required."),
                QCoreApplication::translate(
                    "StatusTabLogic",
                    "Set the admin password in Diagnostics ▸ Admin password to take control of the server.")};
    case Phase::Kind::error:
        return {QCoreApplication::translate("StatusTabLogic", "Your server hit an error."), resting.lead};
    }
    return {resting.title, resting.lead};
}

QString phaseDetailLine(const Phase& phase, const std::optional<ClientServerStatus>& status) {
    switch (phase.kind) {
    case Phase::Kind::stopped:
        return QCoreApplication::translate("StatusTabLogic", "The login service is not running.");
    case Phase::Kind::running:
        if (status && status->uptimeSeconds > 0)
            if (const auto uptime = formatUptime(status->uptimeSeconds))
                return QCoreApplication::translate("StatusTabLogic", "Uptime · %1").arg(*uptime);
        // Also where an uptime cannot be formatted: the pid still tells which server answers.
        return QCoreApplication::translate("StatusTabLogic", "PID %1")
            .arg(status ? QString::number(status->pid) : QStringLiteral("?"));
    case Phase::Kind::unauthenticated:
        return QCoreApplication::translate("StatusTabLogic",
                                           "Set the admin password in Diagnostics ▸ Admin password.");
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
    case Phase::Kind::error:
        return {};
    }
    return {};
}

StartStopLook startStopLook(const Phase& phase) {
    if (phase.kind == Phase::Kind::running)
        return {QCoreApplication::translate("StatusTabLogic", "Stop server"), QStringLiteral("stop.fill"),
                GhostButtonStyle{.danger = true}};
    return {QCoreApplication::translate("StatusTabLogic", "Start server"), QStringLiteral("play.fill"),
            KeldmarchButtonStyle{}};
}

QString lanDisabledText() {
    return QCoreApplication::translate("StatusTabLogic", "disabled · enable in Network tab");
}

QString stageSummary(const ClientServerStatus& status) {
    if (!status.stages)
        return status.model.running ? noFigure()
                                    : QCoreApplication::translate("StatusTabLogic", "Server not loaded");
    QStringList applied;
    if (status.stages->adapterApplied)
        applied << QCoreApplication::translate("StatusTabLogic", "Adapter");
    if (status.stages->steeringApplied)
        applied << QCoreApplication::translate("StatusTabLogic", "Steering");
    if (status.stages->systemPromptApplied)
        applied << QCoreApplication::translate("StatusTabLogic", "System prompt");
    if (applied.isEmpty())
        return QCoreApplication::translate("StatusTabLogic", "Base model only");
    return QCoreApplication::translate("StatusTabLogic", "%1 loaded")
        .arg(applied.join(QStringLiteral(" · ")));
}

TileText modelTile(const ClientServerStatus& status) {
    const QString value =
        answeringModel(status).value_or(QCoreApplication::translate("StatusTabLogic", "Not loaded"));
    const auto& engine = status.engine;
    if (!engine || !engine->url)
        return {value, stageSummary(status)};
    // The bundle's stages never reach an upstream engine: what does is the model it is asked for.
    return {value, engine->model ? QCoreApplication::translate("StatusTabLogic", "Upstream model %1").arg(*engine->model)
                                 : noFigure()};
}

TileText hardwareTile(const ClientServerStatus& status) {
    const auto& hw = status.hardware;
    return {hw.appleSiliconChip.value_or(hw.cpuBrand), memoryAndSystem(hw)};
}

TileText concurrencyTile(const ClientServerStatus& status) {
    if (!status.concurrency)
        return {noFigure(),
                QCoreApplication::translate("StatusTabLogic", "Start the server to see live load.")};
    const auto& c = *status.concurrency;
    return {QCoreApplication::translate("StatusTabLogic", "%1 in flight · %2 queued")
                .arg(shownCount(c.inFlight), shownCount(c.queued)),
            QCoreApplication::translate("StatusTabLogic", "503 above %1 · completed %2 since start")
                .arg(shownCount(c.maxQueueDepth), shownCount(c.totalCompleted))};
}

std::vector<TechnicalRow> technicalRows(const ClientServerStatus& status) {
    auto copyable = [](QString label, QString value, QString copyName) {
        return TechnicalRow{std::move(label), value, true, value, std::move(copyName)};
    };
    auto plain = [](QString label, QString value) {
        return TechnicalRow{std::move(label), std::move(value), false, {}, {}};
    };

    std::vector<TechnicalRow> rows;
    rows.push_back(copyable(QCoreApplication::translate("StatusTabLogic", "PID"), QString::number(status.pid),
                            QCoreApplication::translate("StatusTabLogic", "Copy PID")));
    if (const auto& running = status.model.running) {
        rows.push_back(copyable(QCoreApplication::translate("StatusTabLogic", "Pipeline version"),
                                QString::number(running->manifestPipelineVersion),
                                QCoreApplication::translate("StatusTabLogic", "Copy pipeline version")));
        const QString& hash = running->modelSha256;
        rows.push_back(TechnicalRow{QCoreApplication::translate("StatusTabLogic", "Model SHA-256"),
                                    shortenedHash(hash), true, hash, copyModelHashName()});
    }
    rows.push_back(copyable(QCoreApplication::translate("StatusTabLogic", "State directory"),
                            status.stateDirectory,
                            QCoreApplication::translate("StatusTabLogic", "Copy state directory")));
    if (const auto& engine = status.engine) {
        if (engine->url)
            rows.push_back(copyable(QCoreApplication::translate("StatusTabLogic", "Engine address"),
                                    *engine->url,
                                    QCoreApplication::translate("StatusTabLogic", "Copy engine address")));
        if (engine->lastError)
            rows.push_back(
                plain(QCoreApplication::translate("StatusTabLogic", "Engine error"), *engine->lastError));
    }
    if (const auto& c = status.concurrency) {
        rows.push_back(
            plain(QCoreApplication::translate("StatusTabLogic", "Max concurrency"),
                  QCoreApplication::translate("StatusTabLogic", "%n generation(s)", nullptr,
                                              pluralCount(c->maxConcurrency))));
        rows.push_back(plain(
            QCoreApplication::translate("StatusTabLogic", "Max queue depth"),
            QCoreApplication::translate("StatusTabLogic", "%1 (HTTP 503 above)").arg(shownCount(c->maxQueueDepth))));
        rows.push_back(plain(QCoreApplication::translate("StatusTabLogic", "Rejected (busy)"),
                             shownCount(c->totalRejected)));
    }
    if (status.auditRecordsDropped)
        rows.push_back(
            plain(QCoreApplication::translate("StatusTabLogic", "Audit records dropped"),
                  QCoreApplication::translate("StatusTabLogic", "%1 (the audit log reached its size limit)")
                      .arg(shownCount(*status.auditRecordsDropped))));
    rows.push_back(copyable(QCoreApplication::translate("StatusTabLogic", "Server version"),
                            status.serverVersion,
                            QCoreApplication::translate("StatusTabLogic", "Copy server version")));
    return rows;
}

QString startAtLoginSubtitle(bool on) {
    return on ? QCoreApplication::translate("StatusTabLogic",
                                            "systemd will start the Tavrin server every time you sign in.")
              : QCoreApplication::translate("StatusTabLogic",
                                            "Currently off. You'll start the server manually from this tab.");
}

LoadChartSeries loadChartSeries(const std::deque<LoadSample>& samples, const QDateTime& now) {
    const double span = double(std::chrono::duration_cast<std::chrono::milliseconds>(LoadHistory::span).count());
    LoadChartSeries chart;
    qint64 peakInFlight = 0, peakQueued = 0;
    for (const LoadSample& sample : samples) {
        const double age = double(sample.at.msecsTo(now));
        if (age < 0 || age > span)
            continue;
        const double x = 1.0 - age / span;
        chart.inFlight << QPointF(x, double(sample.inFlight));
        chart.queued << QPointF(x, double(sample.queued));
        peakInFlight = std::max(peakInFlight, sample.inFlight);
        peakQueued = std::max(peakQueued, sample.queued);
    }
    chart.top = std::max<qint64>({1, peakInFlight, peakQueued});
    if (chart.inFlight.isEmpty()) {
        chart.description = QCoreApplication::translate(
            "StatusTabLogic", "No readings of the load in the last 10 minutes yet.");
        return chart;
    }
    chart.description =
        QCoreApplication::translate(
            "StatusTabLogic", "In flight over the last 10 minutes: peak %1, now %2. Queued: peak %3, now %4.")
            .arg(peakInFlight)
            .arg(qint64(chart.inFlight.last().y()))
            .arg(peakQueued)
            .arg(qint64(chart.queued.last().y()));
    return chart;
}

} // namespace tavrin
