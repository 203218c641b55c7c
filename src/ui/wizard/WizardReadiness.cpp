#include "ui/wizard/WizardReadiness.h"

#include "state/ServerStateModel.h"
#include "ui/desktop/FileManager.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRProgress.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kTileMinimumWidth = 10;
constexpr qreal kCardSymbolSize = 15;
} // namespace

WizardReadiness::WizardReadiness(ServerStateModel* state, std::function<void()> advance, std::function<void()> back,
                                 QWidget* parent)
    : WizardStepView(parent), m_setup(&state->setup()), m_search(m_setup->companionAtStart()) {
    addStepHeader(WizardStep::readiness, tr("Let's make sure this computer is up to it."),
                  tr("Two checks: the free Tavrin AI model bundle needs to be on this computer (we use its "
                     "model file), and your computer needs enough horsepower to run it well."));
    buildCompanionCard();
    buildHardwareCard();
    m_continue = new TRButton(tr("Continue →"), KeldmarchButtonStyle{});
    connect(m_continue, &QPushButton::clicked, this, [advance] { advance(); });
    addFooter(back, m_continue);

    checkCompanion(m_search.folder);
    showHardware();
    probe();
}

QFileDialog* WizardReadiness::folderPicker() const { return m_picker; }

void WizardReadiness::buildCompanionCard() {
    auto* card = new TRCard;
    auto* head = new QHBoxLayout;
    head->setSpacing(Spacing::beside);
    m_companionIcon = new TRSymbol(QStringLiteral("magnifyingglass"), kCardSymbolSize, Theme::inkMuted());
    head->addWidget(m_companionIcon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::stacked);
    m_companionTitle = kitLabel({}, TextRole::cardTitle);
    m_companionFolder = kitLabel({}, TextRole::monoSmall, Theme::inkMuted());
    m_companionFolder->setWordWrap(true);
    m_companionFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(m_companionTitle);
    texts->addWidget(m_companionFolder);
    head->addLayout(texts, 1);
    m_companionPill = new TRPill({}, PillKind::muted, {.withDot = true});
    head->addWidget(m_companionPill, 0, Qt::AlignTop);
    card->body()->addLayout(head);

    m_instructions = kitLabel(
        tr("Put the Tavrin AI model bundle in this folder, or choose the folder that holds it, then click "
           "Check again."),
        TextRole::secondary);
    m_instructions->setWordWrap(true);
    card->body()->addWidget(m_instructions);
    m_companionError = new TRMessageLine(MessageKind::error);
    card->body()->addWidget(m_companionError);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(Spacing::group);
    auto* again = new TRButton(tr("Check again"), GhostButtonStyle{.size = ButtonSize::small});
    m_openFolder = new TRButton(tr("Open Folder"), GhostButtonStyle{.size = ButtonSize::small});
    m_browse = new TRButton(tr("Browse…"), GhostButtonStyle{.size = ButtonSize::small});
    for (TRButton* button : {again, m_openFolder, m_browse})
        buttons->addWidget(button);
    buttons->addStretch(1);
    card->body()->addLayout(buttons);
    connect(again, &QPushButton::clicked, this, [this] { checkCompanion(m_search.folder); });
    connect(m_openFolder, &QPushButton::clicked, this, &WizardReadiness::openFolder);
    connect(m_browse, &QPushButton::clicked, this, &WizardReadiness::browse);
    addWidget(card);
}

void WizardReadiness::buildHardwareCard() {
    m_hardwareCard = new TRCard;
    m_checking = new TRProgress(tr("Checking hardware…"));
    m_hardwareCard->body()->addWidget(m_checking);

    // The tiles come with the report, as its figures do.
    m_tiles = new QWidget;
    auto* grid = new QGridLayout(m_tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(Spacing::grid);
    for (int column = 0; column < 3; ++column) {
        grid->setColumnStretch(column, 1);
        grid->setColumnMinimumWidth(column, kTileMinimumWidth);
    }
    m_hardwareCard->body()->addWidget(m_tiles);
    m_notes = new QWidget;
    auto* notes = new QVBoxLayout(m_notes);
    notes->setContentsMargins(0, 0, 0, 0);
    notes->setSpacing(Spacing::lines);
    m_hardwareCard->body()->addWidget(m_notes);
    addWidget(m_hardwareCard);
}

void WizardReadiness::checkCompanion(const QString& folder) {
    m_search = m_setup->checkCompanion(folder);
    showCompanion();
}

void WizardReadiness::showCompanion() {
    const CompanionLook look = companionLook(m_search);
    m_companionIcon->setSymbol(look.symbol);
    m_companionIcon->setColor(m_search.found ? Theme::okGreen() : Theme::inkMuted());
    m_companionTitle->setText(look.title);
    m_companionFolder->setText(m_search.folder);
    m_companionPill->setLabel(look.pill);
    m_companionPill->setKind(look.pillKind);
    m_instructions->setVisible(look.showInstructions);
    m_openFolder->setVisible(look.showInstructions);
    m_browse->setVisible(look.showInstructions);
    m_companionError->setMessage(m_search.found ? QString() : m_search.error);
    m_continue->setEnabled(readinessCanContinue(m_search.found, m_hardware));
}

void WizardReadiness::showHardware() {
    m_checking->setVisible(!m_hardware);
    m_tiles->setVisible(bool(m_hardware));
    m_notes->setVisible(bool(m_hardware));
    m_continue->setEnabled(readinessCanContinue(m_search.found, m_hardware));
    if (!m_hardware)
        return;
    const HardwareLook look = hardwareLook(*m_hardware, m_setup->hostIsSimulated());
    m_hardwareCard->setTitle(look.title);
    m_hardwareCard->setSubtitle(look.subtitle);
    m_hardwareCard->setAccessory(new TRPill(look.pill, look.pillKind, {.withDot = true}));
    auto* grid = static_cast<QGridLayout*>(m_tiles->layout());
    for (std::size_t i = 0; i < look.tiles.size(); ++i) {
        const TileLook& tile = look.tiles[i];
        grid->addWidget(new StatTile(tile.symbol, tile.label, tile.value, tile.detail, tile.valueColour), 0, int(i));
    }
    for (const QString& note : look.notes) {
        QLabel* line = kitLabel(note, TextRole::secondary, Theme::inkSecondary());
        line->setWordWrap(true);
        m_notes->layout()->addWidget(line);
    }
}

// Any folder may hold the model (a bundle unpacked by hand, a mounted share): the picker takes
// folders only, one at a time, and a cancelled pick changes nothing.
void WizardReadiness::browse() {
    if (m_picker) {
        m_picker->raise();
        return;
    }
    auto* picker =
        new QFileDialog(this, tr("Choose the folder that holds model.safetensors"), m_search.folder);
    picker->setFileMode(QFileDialog::Directory);
    picker->setOption(QFileDialog::ShowDirsOnly);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QFileDialog::fileSelected, this, [this](const QString& folder) {
        if (!folder.isEmpty())
            checkCompanion(folder);
    });
    m_picker = picker;
    picker->open();
}

// The folder is made where the user can write, and shown, so that the bundle can be dropped in.
void WizardReadiness::openFolder() {
    m_companionError->clearMessage();
    const std::expected<QString, QString> folder = m_setup->makeCompanionFolder(m_search.folder);
    if (!folder) {
        m_companionError->setMessage(folder.error());
        return;
    }
    if (*folder != m_search.folder)
        checkCompanion(*folder);
    openInDefaultApplication(*folder);
}

Flow WizardReadiness::probe() {
    m_hardware = co_await m_setup->probeHardware();
    showHardware();
}

} // namespace tavrin
