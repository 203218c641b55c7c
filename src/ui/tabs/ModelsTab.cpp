#include "ui/tabs/ModelsTab.h"

#include "state/ServerStateModel.h"
#include "ui/TechnicalRows.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRDisplayName.h"
#include "ui/kit/TRHistoryRow.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/EngineCard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

namespace {

const QString kWarningSymbol = QStringLiteral("exclamationmark.triangle.fill");

QVBoxLayout* stackIn(QWidget* widget, int spacing) {
    auto* stack = new QVBoxLayout(widget);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(spacing);
    return stack;
}

} // namespace

ModelsTab::ModelsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state) {
    addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    m_unreachable = new TRCard(tr("Server unreachable"),
                               tr("Start the server from the Status tab to inspect model state."));
    addWidget(m_unreachable);
    buildProduction();
    buildStaged();
    buildHistory();
    buildBanners();
    addWidget(new EngineCard(state, m_flows));
    stack()->addStretch(1);

    connect(m_state, &ServerStateModel::statusChanged, this, &ModelsTab::showStatus);
    showStatus();
}

void ModelsTab::buildProduction() {
    m_production = new QWidget;
    QVBoxLayout* section = stackIn(m_production, Spacing::section);

    auto* running = new QHBoxLayout;
    running->setSpacing(Spacing::beside);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::lines);
    texts->addWidget(new TRCaption(tr("LOADED · PRODUCTION")));
    m_name = new TRDisplayName;
    texts->addWidget(m_name);
    m_imported = kitLabel({}, TextRole::phaseDetail);
    m_imported->setWordWrap(true);
    texts->addWidget(m_imported);
    running->addLayout(texts, 1);
    m_runningPill = new TRPill({}, PillKind::muted, {.withDot = true});
    running->addWidget(m_runningPill, 0, Qt::AlignTop);
    section->addLayout(running);

    m_stages = new QWidget;
    m_stagesRow = new QHBoxLayout(m_stages);
    m_stagesRow->setContentsMargins(0, 0, 0, 0);
    m_stagesRow->setSpacing(Spacing::lines);
    m_stagesRow->addStretch(1);
    section->addWidget(m_stages);

    m_technical = new TRDisclosure(tr("Technical details"));
    section->addWidget(m_technical);
    addWidget(m_production);
}

void ModelsTab::buildStaged() {
    m_staged = new QWidget;
    QVBoxLayout* section = stackIn(m_staged, Spacing::section);
    m_stagedBanner =
        new TRBanner(BannerKind::brand, QStringLiteral("sparkles"), {},
                     tr("The free Tavrin AI app delivered a new model. Promotion is reversible."));
    section->addWidget(m_stagedBanner);

    m_stagedCard = new TRCard;
    auto* buttons = new QWidget;
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Spacing::lines);
    m_rollBack = new TRButton(tr("Roll back"), GhostButtonStyle{.size = ButtonSize::small});
    m_promote = new TRButton(tr("Promote"), KeldmarchButtonStyle{ButtonSize::small});
    row->addWidget(m_rollBack);
    row->addWidget(m_promote);
    m_stagedCard->setAccessory(buttons);
    connect(m_rollBack, &QPushButton::clicked, this, [this] { changeProduction(ProductionChange::rollBack); });
    connect(m_promote, &QPushButton::clicked, this, [this] { changeProduction(ProductionChange::promote); });

    m_restartNotice = new TRBanner(BannerKind::warn, kWarningSymbol, tr("Restart required after promoting."),
                                   tr("The running engine doesn't hot-swap models — use the Status tab to "
                                      "restart when you're ready."));
    m_stagedCard->body()->addWidget(m_restartNotice);
    section->addWidget(m_stagedCard);
    addWidget(m_staged);
}

void ModelsTab::buildHistory() {
    m_history = new TRCard(tr("Rollback history"),
                           tr("Most recent first. Rollback restores the top entry and asks you to restart."));
    m_historyRows = new QWidget;
    stackIn(m_historyRows, 0); // each row draws its own padding and hairline
    m_history->body()->addWidget(m_historyRows);
    addWidget(m_history);
}

void ModelsTab::buildBanners() {
    m_success = new TRBanner(BannerKind::success, QStringLiteral("checkmark.circle.fill"));
    m_failure = new TRBanner(BannerKind::danger, kWarningSymbol);
    addWidget(m_success);
    addWidget(m_failure);
}

void ModelsTab::showStatus() {
    const auto& status = m_state->status();
    m_unreachable->setVisible(!status);
    m_production->setVisible(bool(status));
    // An unreachable server leaves the heading and the card alone on the page, outcomes included.
    m_success->setVisible(status && !m_success->message().isEmpty());
    m_failure->setVisible(status && !m_failure->message().isEmpty());
    if (!status) {
        m_staged->hide();
        m_history->hide();
        return;
    }
    showProduction(*status);
    showStaged(status->model);
    showHistory(historyEntries(status->model.pinState.previous));
}

// Every poll brings a status, mostly the same one: only what changed is redrawn, so that nothing the
// user is reading or selecting is replaced under the pointer.
void ModelsTab::showProduction(const ClientServerStatus& status) {
    const ProductionLook look = productionLook(status.model);
    if (m_name->text() != look.name)
        m_name->setText(look.name);
    m_imported->setText(look.imported.value_or(QString()));
    m_imported->setVisible(bool(look.imported));
    if (m_runningPill->label() != look.status.label || m_runningPill->kind() != look.status.kind) {
        m_runningPill->setLabel(look.status.label);
        m_runningPill->setKind(look.status.kind);
    }
    showStagePills(stagePills(status.stages));
    const auto& running = status.model.running;
    m_technical->setVisible(bool(running));
    if (running)
        showTechnicalRows(m_technical, modelDetailRows(*running));
}

void ModelsTab::showStagePills(const std::optional<std::vector<PillLook>>& pills) {
    m_stages->setVisible(bool(pills));
    if (pills == m_shownStages)
        return;
    qDeleteAll(m_stages->findChildren<TRPill*>(Qt::FindDirectChildrenOnly));
    int at = 0;
    for (const PillLook& pill : pills.value_or(std::vector<PillLook>{}))
        m_stagesRow->insertWidget(at++, new TRPill(pill.label, pill.kind, {.mono = true}));
    m_shownStages = pills;
}

void ModelsTab::showStaged(const ClientModelStatus& model) {
    const std::optional<StagedLook> look = stagedLook(model);
    m_staged->setVisible(bool(look));
    if (!look)
        return;
    m_stagedBanner->setTitle(look->bannerTitle);
    m_stagedCard->setTitle(look->cardTitle);
    m_stagedCard->setSubtitle(look->summary);
    m_rollBack->setEnabled(look->canRollBack);
    m_restartNotice->setVisible(look->restartNotice);
}

void ModelsTab::showHistory(const std::vector<HistoryEntry>& entries) {
    m_history->setVisible(!entries.empty());
    if (entries == m_shownHistory)
        return;
    qDeleteAll(m_historyRows->findChildren<TRHistoryRow*>(Qt::FindDirectChildrenOnly));
    for (const HistoryEntry& entry : entries) {
        auto* row = new TRHistoryRow(entry.alias, entry.detail, entry.pill);
        if (entry.rollBackHere) {
            auto* button = new TRButton(tr("Roll back to this"), GhostButtonStyle{.size = ButtonSize::small});
            // Reached by Tab, the button alone does not say which version "this" is.
            button->setAccessibleName(button->text() + QStringLiteral(": ") + entry.alias);
            connect(button, &QPushButton::clicked, this, [this] { changeProduction(ProductionChange::rollBack); });
            row->setAccessory(button);
        }
        m_historyRows->layout()->addWidget(row);
    }
    m_shownHistory = entries;
}

void ModelsTab::showOutcome(const QString& message, const QString& error) {
    const bool reachable = bool(m_state->status());
    m_success->setMessage(message);
    m_success->setVisible(reachable && !message.isEmpty());
    m_failure->setMessage(error);
    m_failure->setVisible(reachable && !error.isEmpty());
}

Flow ModelsTab::changeProduction(ProductionChange change) {
    // A second press while the first is on its way would act again on what the first has changed:
    // a double press of a rollback would go back two versions.
    if (m_flows.running() > 1)
        co_return;
    showOutcome({}, {});
    const ActionResult changed = co_await m_state->modelActions().change(change);
    if (!changed) {
        showOutcome({}, changed.error().message());
        co_return;
    }
    showOutcome(change == ProductionChange::promote ? promotedMessage() : rolledBackMessage(), {});
}

} // namespace tavrin
