#include "ui/tabs/StatusTabLogic.h"

#include "ui/ServerFigures.h"

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
        return {QStringLiteral("Your server is stopped."),
                QStringLiteral("Start it whenever you need it. The Tavrin app launches in the background and the "
                               "tray icon stays visible.")};
    case Phase::Kind::running:
        return {QStringLiteral("Your Tavrin server is live."),
                QStringLiteral("One computer, two endpoints, no surveillance. Everything below reflects what the server "
                               "is doing right now.")};
    case Phase::Kind::unauthenticated:
        return {QStringLiteral("Admin password required."),
                QStringLiteral("Set the admin password in Diagnostics ▸ Admin password to take control of the server.")};
    case Phase::Kind::error:
        return {QStringLiteral("Your server hit an error."), resting.lead};
    }
    return {resting.title, resting.lead};
}

QString phaseDetailLine(const Phase& phase, const std::optional<ClientServerStatus>& status) {
    switch (phase.kind) {
    case Phase::Kind::stopped:
        return QStringLiteral("The login service is not running.");
    case Phase::Kind::running:
        if (status && status->uptimeSeconds > 0)
            if (const auto uptime = formatUptime(status->uptimeSeconds))
                return QStringLiteral("Uptime · ") + *uptime;
        // Also where an uptime cannot be formatted: the pid still tells which server answers.
        return QStringLiteral("PID ") + (status ? QString::number(status->pid) : QStringLiteral("?"));
    case Phase::Kind::unauthenticated:
        return QStringLiteral("Set the admin password in Diagnostics ▸ Admin password.");
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
    case Phase::Kind::error:
        return {};
    }
    return {};
}

StartStopLook startStopLook(const Phase& phase) {
    if (phase.kind == Phase::Kind::running)
        return {QStringLiteral("Stop server"), QStringLiteral("stop.fill"), GhostButtonStyle{.danger = true}};
    return {QStringLiteral("Start server"), QStringLiteral("play.fill"), KeldmarchButtonStyle{}};
}

QString lanDisabledText() { return QStringLiteral("disabled · enable in Network tab"); }

QString stageSummary(const ClientServerStatus& status) {
    if (!status.stages)
        return status.model.running ? noFigure() : QStringLiteral("Server not loaded");
    QStringList applied;
    if (status.stages->adapterApplied)
        applied << QStringLiteral("Adapter");
    if (status.stages->steeringApplied)
        applied << QStringLiteral("Steering");
    if (status.stages->systemPromptApplied)
        applied << QStringLiteral("System prompt");
    if (applied.isEmpty())
        return QStringLiteral("Base model only");
    return applied.join(QStringLiteral(" · ")) + QStringLiteral(" loaded");
}

TileText modelTile(const ClientServerStatus& status) {
    return {status.model.running ? status.model.running->productionAlias : QStringLiteral("Not loaded"),
            stageSummary(status)};
}

TileText hardwareTile(const ClientServerStatus& status) {
    const auto& hw = status.hardware;
    return {hw.appleSiliconChip.value_or(hw.cpuBrand), memoryAndSystem(hw)};
}

TileText concurrencyTile(const ClientServerStatus& status) {
    if (!status.concurrency)
        return {noFigure(), QStringLiteral("Start the server to see live load.")};
    const auto& c = *status.concurrency;
    return {QString::number(c.inFlight) + QStringLiteral(" in flight · ") + QString::number(c.queued) +
                QStringLiteral(" queued"),
            QStringLiteral("503 above ") + QString::number(c.maxQueueDepth) + QStringLiteral(" · completed ") +
                QString::number(c.totalCompleted) + QStringLiteral(" since start")};
}

std::vector<TechnicalRow> technicalRows(const ClientServerStatus& status) {
    auto copyable = [](QString label, QString value, QString copyName) {
        return TechnicalRow{std::move(label), value, true, value, std::move(copyName)};
    };
    auto plain = [](QString label, QString value) {
        return TechnicalRow{std::move(label), std::move(value), false, {}, {}};
    };

    std::vector<TechnicalRow> rows;
    rows.push_back(copyable(QStringLiteral("PID"), QString::number(status.pid), QStringLiteral("Copy PID")));
    if (const auto& running = status.model.running) {
        rows.push_back(copyable(QStringLiteral("Pipeline version"), QString::number(running->manifestPipelineVersion),
                                QStringLiteral("Copy pipeline version")));
        const QString& hash = running->modelSha256;
        rows.push_back(TechnicalRow{QStringLiteral("Model SHA-256"), shortenedHash(hash), true, hash, copyModelHashName()});
    }
    rows.push_back(copyable(QStringLiteral("State directory"), status.stateDirectory,
                            QStringLiteral("Copy state directory")));
    if (const auto& engine = status.engine) {
        if (engine->url)
            rows.push_back(copyable(QStringLiteral("Engine address"), *engine->url, QStringLiteral("Copy engine address")));
        if (engine->lastError)
            rows.push_back(plain(QStringLiteral("Engine error"), *engine->lastError));
    }
    if (const auto& c = status.concurrency) {
        rows.push_back(plain(QStringLiteral("Max concurrency"), QString::number(c->maxConcurrency) + QStringLiteral(" generations")));
        rows.push_back(plain(QStringLiteral("Max queue depth"), QString::number(c->maxQueueDepth) + QStringLiteral(" (HTTP 503 above)")));
        rows.push_back(plain(QStringLiteral("Rejected (busy)"), QString::number(c->totalRejected)));
    }
    if (status.auditRecordsDropped)
        rows.push_back(plain(QStringLiteral("Audit records dropped"),
                             QStringLiteral("%1 (the audit log reached its size limit)").arg(*status.auditRecordsDropped)));
    rows.push_back(copyable(QStringLiteral("Server version"), status.serverVersion,
                            QStringLiteral("Copy server version")));
    return rows;
}

QString startAtLoginSubtitle(bool on) {
    return on ? QStringLiteral("systemd will start the Tavrin server every time you sign in.")
              : QStringLiteral("Currently off. You'll start the server manually from this tab.");
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
        chart.description = QStringLiteral("No readings of the load in the last 10 minutes yet.");
        return chart;
    }
    chart.description = QStringLiteral("In flight over the last 10 minutes: peak %1, now %2. Queued: peak %3, now %4.")
                            .arg(peakInFlight)
                            .arg(qint64(chart.inFlight.last().y()))
                            .arg(peakQueued)
                            .arg(qint64(chart.queued.last().y()));
    return chart;
}

} // namespace tavrin
