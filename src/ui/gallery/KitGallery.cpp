#include "ui/gallery/KitGallery.h"

#include "ui/kit/EndpointBox.h"
#include "ui/kit/HeroCard.h"
#include "ui/kit/Icons.h"
#include "ui/kit/IssuedKeyBanner.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/KeldmarchLogoMark.h"
#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/KeyListRow.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/MBPanel.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/NetMapNode.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRCodeBlock.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRDisplayName.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TREyebrow.h"
#include "ui/kit/TRHistoryRow.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TRNetMapButton.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRProgress.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/kit/TRStepRail.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRTextField.h"
#include "ui/kit/TabContent.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSet>
#include <QVBoxLayout>

#include <memory>

namespace tavrin {

namespace {

// A page of the gallery: canvas background, captioned rows of components.
class Sheet : public QWidget {
public:
    explicit Sheet(int width) {
        resize(width, 100);
        m_stack = new QVBoxLayout(this);
        m_stack->setContentsMargins(24, 20, 24, 24);
        m_stack->setSpacing(Spacing::grid);
    }
    void caption(const QString& text) {
        auto* eyebrow = new TREyebrow(text, false, Theme::inkMuted());
        m_stack->addSpacing(m_stack->count() ? 8 : 0);
        m_stack->addWidget(eyebrow);
    }
    QHBoxLayout* row() {
        auto* row = new QHBoxLayout;
        row->setSpacing(Spacing::grid);
        m_stack->addLayout(row);
        return row;
    }
    void add(QWidget* widget) { m_stack->addWidget(widget); }
    void add(QLayout* layout) { m_stack->addLayout(layout); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Theme::canvas()); }

private:
    QVBoxLayout* m_stack;
};

void endRow(QHBoxLayout* row) { row->addStretch(1); }

std::unique_ptr<Sheet> paletteSheet() {
    auto sheet = std::make_unique<Sheet>(760);
    sheet->caption("Palette");
    const std::pair<const char*, QColor> tokens[] = {
        {"ink", Theme::ink()},           {"inkSecondary", Theme::inkSecondary()},
        {"inkMuted", Theme::inkMuted()}, {"line", Theme::line()},
        {"surface", Theme::surface()},   {"canvas", Theme::canvas()},
        {"okGreen", Theme::okGreen()},   {"warnAmber", Theme::warnAmber()},
        {"dangerRed", Theme::dangerRed()}, {"mutedGrey", Theme::mutedGrey()},
        {"infoBlue", Theme::infoBlue()}, {"linkBlue", Theme::linkBlue()},
        {"brandTeal", Theme::brandTeal()}, {"brandTealDeep", Theme::brandTealDeep()},
        {"brandTealDark", Theme::brandTealDark()}, {"brandMint", Theme::brandMint()},
        {"brandPink", Theme::brandPink()},
    };
    auto* grid = new QGridLayout;
    grid->setSpacing(Spacing::grid);
    int i = 0;
    for (const auto& [name, colour] : tokens) {
        auto* swatch = new TRPill(name, PillKind::muted, {.withDot = true});
        auto* chip = new TRDot(22, colour);
        auto* cell = new QHBoxLayout;
        cell->addWidget(chip);
        cell->addWidget(swatch);
        cell->addStretch(1);
        grid->addLayout(cell, i / 3, i % 3);
        ++i;
    }
    sheet->add(grid);
    sheet->caption("Gradients");
    struct GradientSwatch : QWidget {
        QLinearGradient gradient;
        explicit GradientSwatch(QLinearGradient g) : gradient(std::move(g)) { setFixedSize(130, 54); }
        void paintEvent(QPaintEvent*) override {
            QPainter p(this);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(Theme::line(), 1));
            p.setBrush(gradient);
            p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        }
    };
    auto* row = sheet->row();
    for (const auto& g : {Theme::brandGradient(), Theme::accentBarGradient(), Theme::brandWashGradient(),
                          Theme::heroWashGradient(), Theme::buttonGradient()})
        row->addWidget(new GradientSwatch(g));
    endRow(row);
    return sheet;
}

std::unique_ptr<Sheet> typeSheet() {
    auto sheet = std::make_unique<Sheet>(760);
    sheet->caption("Type scale");
    const struct {
        const char* sample;
        TextRole role;
    } samples[] = {
        {"Title 28 bold −0.6 · Your Tavrin server is live.", TextRole::tabTitle},
        {"Phase 28 black 0.6 · Running", TextRole::phase},
        {"Display name 24 black 0.4 · TAVRIN-SAMPLE-2.0.0", TextRole::displayName},
        {"Value 15 bold −0.2 · 2 in flight · 0 queued", TextRole::statValue},
        {"Card title 14 bold · Start at login", TextRole::cardTitle},
        {"Lead 13.5 · One computer, two endpoints, no surveillance.", TextRole::lead},
        {"Body 13 medium · value text", TextRole::bodyMedium},
        {"Subtitle 12.5 · Currently off. You'll start the server manually.", TextRole::secondary},
        {"Detail 11.5 · Start the server to see live load.", TextRole::detail},
        {"MONO 12.5 MEDIUM · http://127.0.0.1:11434/v1", TextRole::monoValue},
        {"MONO 12.5 SEMIBOLD · tavrin-sample-1.0.0", TextRole::monoName},
        {"MONO 10 SEMIBOLD 1.8 · EYEBROW", TextRole::eyebrow},
        {"TAVRIN 14 black 2", TextRole::brand},
    };
    for (const auto& s : samples)
        sheet->add(kitLabel(QString::fromUtf8(s.sample), s.role, Theme::ink()));
    return sheet;
}

std::unique_ptr<Sheet> pillSheet() {
    auto sheet = std::make_unique<Sheet>(760);
    const std::pair<PillKind, const char*> kinds[] = {{PillKind::ok, "Ready"},    {PillKind::warn, "Warning"},
                                                      {PillKind::bad, "Not found"}, {PillKind::muted, "Checking…"},
                                                      {PillKind::brand, "Staged"}, {PillKind::info, "Inference"}};
    for (const auto& [options, caption] :
         {std::pair{PillOptions{.withDot = true}, "Pills with dot"}, std::pair{PillOptions{}, "Pills without dot"},
          std::pair{PillOptions{.mono = true}, "Mono pills"}}) {
        sheet->caption(caption);
        auto* row = sheet->row();
        for (const auto& [kind, label] : kinds)
            row->addWidget(new TRPill(QString::fromUtf8(label), kind, options));
        endRow(row);
    }
    sheet->caption("Status chip");
    auto* row = sheet->row();
    for (const auto& [kind, label] : kinds)
        row->addWidget(new StatusChip(QString::fromUtf8(label), kind));
    endRow(row);
    return sheet;
}

std::unique_ptr<Sheet> bannerSheet() {
    auto sheet = std::make_unique<Sheet>(640);
    sheet->caption("Banners");
    sheet->add(new TRBanner(BannerKind::info, "info.circle", "The installer runs separately",
                            "Installing stays with your system's package installer, which asks for your password. "
                            "After download we show the package in its folder — open it to install."));
    sheet->add(new TRBanner(BannerKind::warn, "exclamationmark.triangle.fill", "Restart required after promoting.",
                            "The running engine doesn't hot-swap models — use the Status tab to restart when "
                            "you're ready."));
    sheet->add(new TRBanner(BannerKind::danger, "exclamationmark.triangle.fill", {},
                            "Daemon returned HTTP 500: internal error"));
    sheet->add(new TRBanner(BannerKind::brand, "sparkles", "prod-2026-11 is ready to promote",
                            "The free Tavrin AI app delivered a new model. Promotion is reversible."));
    sheet->add(new TRBanner(BannerKind::success, "checkmark.circle.fill", {}, "Promoted prod-2026-11."));
    sheet->caption("Title only, with trailing view; icon and trailing only");
    auto* withTrailing = new TRBanner(BannerKind::brand, "key.fill", "Key created");
    auto* copy = new TRButton("Copy", KeldmarchButtonStyle{ButtonSize::small});
    copy->setAccessibleName("Copy key"); // heard apart from the banner: it says what it copies
    withTrailing->setTrailing(copy);
    sheet->add(withTrailing);
    auto* bare = new TRBanner(BannerKind::warn, "lock.fill");
    bare->setTrailing(new TRButton("Open Diagnostics", GhostButtonStyle{.size = ButtonSize::small}));
    sheet->add(bare);
    return sheet;
}

std::unique_ptr<Sheet> buttonSheet() {
    auto sheet = std::make_unique<Sheet>(940);
    const std::pair<ButtonSize, const char*> sizes[] = {
        {ButtonSize::large, "large"}, {ButtonSize::regular, "regular"}, {ButtonSize::small, "small"}};
    for (const auto& [size, name] : sizes) {
        sheet->caption(QStringLiteral("Buttons · ") + name + " · primary, ghost, danger, pressed, disabled");
        auto* row = sheet->row();
        row->setSpacing(Spacing::beside);
        auto* primary = new TRButton("Start server", KeldmarchButtonStyle{size});
        primary->setSymbol("play.fill");
        row->addWidget(primary);
        row->addWidget(new TRButton("Roll back", GhostButtonStyle{.size = size}));
        auto* danger = new TRButton("Stop server", GhostButtonStyle{.danger = true, .size = size});
        danger->setSymbol("stop.fill");
        row->addWidget(danger);
        auto* pressedPrimary = new TRButton("Promote", KeldmarchButtonStyle{size});
        pressedPrimary->setDown(true);
        pressedPrimary->setPressProgress(1);
        row->addWidget(pressedPrimary);
        auto* pressedGhost = new TRButton("Revoke", GhostButtonStyle{.size = size});
        pressedGhost->setDown(true);
        pressedGhost->setPressProgress(1);
        row->addWidget(pressedGhost);
        auto* disabled = new TRButton("Save changes", KeldmarchButtonStyle{size});
        disabled->setEnabled(false);
        row->addWidget(disabled);
        endRow(row);
    }
    sheet->caption("Symbols in ghost buttons; icon-only danger");
    auto* row = sheet->row();
    auto* rotate = new TRButton("Rotate", GhostButtonStyle{.size = ButtonSize::small});
    rotate->setSymbol("arrow.triangle.2.circlepath");
    row->addWidget(rotate);
    auto* reveal = new TRButton("Show in Folder", GhostButtonStyle{.size = ButtonSize::small});
    reveal->setSymbol("folder");
    row->addWidget(reveal);
    auto* save = new TRButton("Save usage CSV", GhostButtonStyle{.size = ButtonSize::small});
    save->setSymbol("square.and.arrow.down");
    row->addWidget(save);
    auto* trash = new TRButton({}, GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    trash->setSymbol("trash");
    trash->setAccessibleName("Delete");
    row->addWidget(trash);
    auto* download = new TRButton("Download & verify", KeldmarchButtonStyle{ButtonSize::large});
    download->setSymbol("arrow.down.circle");
    row->addWidget(download);
    endRow(row);
    return sheet;
}

std::unique_ptr<Sheet> controlSheet() {
    auto sheet = std::make_unique<Sheet>(520);
    sheet->caption("Switch · off, on, with label");
    auto* row = sheet->row();
    auto* off = new KeldmarchSwitch("Start at login");
    off->setLabelHidden(true);
    row->addWidget(off);
    auto* on = new KeldmarchSwitch("Start at login");
    on->setLabelHidden(true);
    on->setChecked(true);
    row->addWidget(on);
    auto* labelled = new KeldmarchSwitch("Start automatically when you log in");
    labelled->setChecked(true);
    row->addWidget(labelled);
    endRow(row);
    sheet->caption("Disclosure · closed, open");
    sheet->add(new TRDisclosure("Technical details"));
    auto* open = new TRDisclosure("Advanced — CORS & IP allowlist", true);
    open->body()->addWidget(new KVRow("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130}));
    open->body()->addWidget(new KVRow("Server version", "0.9.3", {.monospaced = true, .labelWidth = 130}));
    sheet->add(open);
    sheet->caption("Segmented picker · chosen, disabled; none chosen; titled");
    row = sheet->row();
    auto* scope = new TRSegmentedPicker("Scope", {"Inference", "Read-only"});
    scope->setTitleHidden(true);
    scope->setCurrentIndex(0);
    row->addWidget(scope);
    auto* disabled = new TRSegmentedPicker("Scope", {"Inference", "Read-only"});
    disabled->setTitleHidden(true);
    disabled->setCurrentIndex(1);
    disabled->setEnabled(false);
    row->addWidget(disabled);
    endRow(row);
    row = sheet->row();
    auto* retention = new TRSegmentedPicker("Retention", {"7 days", "30 days", "90 days", "365 days"});
    retention->setTitleHidden(true);
    row->addWidget(retention);
    endRow(row);
    row = sheet->row();
    auto* titled = new TRSegmentedPicker("Keep records for", {"7 days", "30 days", "90 days", "365 days"});
    titled->setCurrentIndex(1);
    row->addWidget(titled);
    endRow(row);
    sheet->caption("Text field · empty, filled, monospaced; editor");
    // A field is named for what it holds, as a screen reader announces it before its contents.
    auto* empty = new TRTextField;
    empty->setAccessibleName("Key label");
    sheet->add(empty);
    auto* filled = new TRTextField;
    filled->setAccessibleName("Bind host");
    filled->setText("0.0.0.0");
    sheet->add(filled);
    auto* placeholder = new TRTextField(true);
    placeholder->setAccessibleName("mDNS name");
    placeholder->setPlaceholderText("tavrin-server");
    sheet->add(placeholder);
    auto* editor = new TRTextEditor(70, true);
    editor->editor()->setAccessibleName("CORS origins");
    editor->setText("https://intranet.example\nhttp://localhost:3000");
    sheet->add(editor);
    sheet->caption("Checkbox · off, on with a note; progress wheel");
    auto* checks = sheet->row();
    checks->addWidget(new TRCheckBox("Include prompt contents"));
    auto* checked = new TRCheckBox("Include prompt contents");
    checked->setNote("(only if Audit logging is on)");
    checked->setChecked(true);
    checks->addWidget(checked);
    checks->addWidget(new TRProgressIndicator);
    endRow(checks);
    return sheet;
}

std::unique_ptr<Sheet> cardSheet() {
    auto sheet = std::make_unique<Sheet>(640);
    sheet->caption("Cards · header with accessory, accessory only, no header, danger");
    auto* login = new TRCard("Start at login", "Currently off. You'll start the server manually from this tab.");
    auto* toggle = new KeldmarchSwitch("Start at login");
    toggle->setLabelHidden(true);
    login->setAccessory(toggle);
    login->body()->addWidget(
        new TRButton("Remove login service…", GhostButtonStyle{.danger = true, .size = ButtonSize::small}),
        0, Qt::AlignLeft);
    sheet->add(login);
    auto* accessoryOnly = new TRCard;
    accessoryOnly->setAccessory(new TRPill("Supported", PillKind::ok, {.withDot = true}));
    accessoryOnly->body()->addWidget(kitLabel("Card content under an accessory-only header.", TextRole::body,
                                              Theme::inkSecondary()));
    sheet->add(accessoryOnly);
    auto* plain = new TRCard;
    plain->body()->addWidget(kitLabel("A card without a header row.", TextRole::body, Theme::inkSecondary()));
    sheet->add(plain);
    auto* danger = new TRCard("Reset admin password", "Forget the password stored on this computer.");
    danger->setDanger(true);
    danger->body()->addWidget(new TRButton("Clear password", GhostButtonStyle{.danger = true, .size = ButtonSize::small}),
                              0, Qt::AlignLeft);
    sheet->add(danger);
    sheet->caption("Hero card");
    auto* hero = new HeroCard;
    hero->body()->addWidget(new TREyebrow("Phase", false));
    hero->body()->addWidget(kitLabel("Running", TextRole::phase, Theme::okGreen()));
    hero->body()->addWidget(new EndpointBox("Localhost", "http://127.0.0.1:11434/v1"));
    sheet->add(hero);
    return sheet;
}

std::unique_ptr<Sheet> rowSheet() {
    auto sheet = std::make_unique<Sheet>(640);
    sheet->caption("Key/value rows");
    sheet->add(new KVRow("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130}));
    // A value a rule shows cut, still read and copied whole.
    auto* hash = new KVRow("Model SHA-256", {}, {.monospaced = true, .copyable = true, .labelWidth = 130});
    hash->setValue("9f86d081884c7d659a2feaa0c55ad015…",
                   "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08");
    sheet->add(hash);
    sheet->add(new KVRow("Max queue depth", "32 (HTTP 503 above)", {.monospaced = true, .labelWidth = 130}));
    sheet->add(new KVRow("Scope", "Inference", {.labelWidth = 130}));
    sheet->caption("History rows · the first with its button, a middle one, the last");
    auto* first = new TRHistoryRow("tavrin-sample-3.0.0", "Promoted 2026-11-03T09:12:44Z", "Previous");
    first->setAccessory(new TRButton("Roll back to this", GhostButtonStyle{.size = ButtonSize::small}));
    sheet->add(first);
    sheet->add(new TRHistoryRow("tavrin-sample-2.0.0", "Promoted 2026-11-02T09:12:44Z"));
    sheet->add(new TRHistoryRow("tavrin-sample-1.0.0", "Promoted 2026-11-01T09:12:44Z", "First install"));
    sheet->caption("Display names · one line; a long name cut after two lines");
    auto* names = sheet->row();
    auto* shortName = new TRDisplayName("KELDMARCH-1");
    shortName->setFixedWidth(250);
    names->addWidget(shortName, 0, Qt::AlignTop);
    auto* longName = new TRDisplayName("TAVRIN-SAMPLE-2026.11.03-NIGHTLY-Q4-INSTRUCT-EXTENDED-CONTEXT");
    longName->setFixedWidth(250);
    names->addWidget(longName, 0, Qt::AlignTop);
    endRow(names);
    sheet->caption("Elided text · cut in the middle, read and copied whole");
    auto* key = new TRElidedText("tvn_live_4f2a9c1e7b3d48a0b6e5c2d9f1a7e3b8c4d6a2f0");
    key->setMaximumWidth(240);
    sheet->add(key);
    sheet->caption("Endpoint boxes · normal, dashed and muted");
    sheet->add(new EndpointBox("Localhost", "http://127.0.0.1:11434/v1"));
    sheet->add(new EndpointBox("LAN", "disabled · enable in Network tab", {.dashed = true, .muted = true}));
    sheet->caption("Stat tiles");
    auto* grid = new QGridLayout;
    grid->setSpacing(Spacing::grid);
    grid->addWidget(new StatTile("cube", "Model", "prod-2026-11", "Adapter · Steering loaded"), 0, 0);
    grid->addWidget(new StatTile("cpu", "Hardware", "Apple M3 Max", "36 GB · Debian GNU/Linux 12 (bookworm)"), 0, 1);
    grid->addWidget(new StatTile("paperplane.fill", "Concurrency", "—", "Start the server to see live load."), 1, 0);
    grid->addWidget(new StatTile("checkmark.seal", "Support status", "Supported", "Apple silicon · max",
                                 Theme::okGreen()),
                    1, 1);
    sheet->add(grid);
    sheet->caption("Key rows · active with its scope, revoked without");
    sheet->add(new KeyListRow({.label = "Build farm",
                               .status = "Active",
                               .statusKind = PillKind::ok,
                               .scope = "inference",
                               .usage = {"tk-3f9aQ…", "Last used 2026-12-07T09:12:40Z", "1284 requests"},
                               .revocable = true}));
    sheet->add(new KeyListRow({.label = "Old laptop",
                               .status = "Revoked",
                               .statusKind = PillKind::muted,
                               .scope = {},
                               .usage = {"tk-b0O5p…", "Last used never", "0 requests"},
                               .revocable = false}));
    sheet->caption("Elided text on a well · cut in the middle; issued-key banner");
    auto* cut = new TRElidedText("tk-9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08ffe1c2");
    cut->setWell(true);
    cut->setFixedWidth(320);
    auto* row = sheet->row();
    row->addWidget(cut);
    endRow(row);
    sheet->add(new IssuedKeyBanner("Build farm", "tk-3f9aQwZ1nV0cJq8hXr2mT5yLs4eKd7uBg6pNa"));
    return sheet;
}

std::unique_ptr<Sheet> modeSheet() {
    auto sheet = std::make_unique<Sheet>(640);
    sheet->caption("Mode cards · on, off");
    auto* modes = new QHBoxLayout;
    modes->setSpacing(Spacing::grid);
    modes->addWidget(new ModeCard("Default", "Just this computer", "127.0.0.1 only · port 11434", true));
    modes->addWidget(new ModeCard({}, "My whole network", "0.0.0.0 binding · LAN clients with API key", false));
    sheet->add(modes);
    sheet->caption("Network map nodes · active, inactive");
    auto* nodes = new QHBoxLayout;
    nodes->setSpacing(Spacing::grid);
    nodes->addWidget(new NetMapNode("cpu", "This computer", "Localhost",
                                    "Apps on this computer (127.0.0.1) can reach the server. Always on.", true));
    nodes->addWidget(new NetMapNode("wifi", "Your network", "LAN — disabled",
                                    "Toggle below to expose the server to other machines on this network.", false));
    sheet->add(nodes);
    sheet->caption("Logo mark · 28, 44, 64; eyebrows and caption");
    auto* row = sheet->row();
    row->setSpacing(18);
    for (int size : {28, 44, 64})
        row->addWidget(new KeldmarchLogoMark(size), 0, Qt::AlignVCenter);
    auto* brand = kitLabel("TAVRIN", TextRole::brand);
    row->addWidget(brand, 0, Qt::AlignVCenter);
    endRow(row);
    sheet->add(new TREyebrow("Server"));
    sheet->add(new TRCaption("Pinned model"));
    sheet->add(new TREyebrow("Exposure", false, Theme::brandTealDeep()));
    return sheet;
}

std::unique_ptr<Sheet> iconSheet() {
    auto sheet = std::make_unique<Sheet>(760);
    sheet->caption("Symbols");
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    int i = 0;
    for (const SymbolGlyph& entry : icons::table()) {
        auto* cell = new QHBoxLayout;
        cell->setSpacing(Spacing::group);
        auto* symbol = new TRSymbol(entry.symbol, 14, Theme::brandTealDeep());
        symbol->setFrameWidth(22);
        cell->addWidget(symbol);
        // The symbol names are the gallery's own small print, in no role of the product.
        auto* name = kitLabel(entry.symbol, TextRole::monoSmall, Theme::inkSecondary());
        name->setFont(Theme::mono(10.5, FontWeight::medium));
        cell->addWidget(name);
        cell->addStretch(1);
        grid->addLayout(cell, i / 2, i % 2);
        ++i;
    }
    sheet->add(grid);
    return sheet;
}

// The parts of a guided sequence: its rail, its headings, its choices and what it hands over.
std::unique_ptr<Sheet> setupSheet() {
    auto sheet = std::make_unique<Sheet>(760);
    sheet->caption("Step rail · done, done, current, to come; numbered items; greeting and display type");
    auto* row = sheet->row();
    auto* rail = new TRStepRail("First-run setup · ~6 minutes",
                                {"Welcome", "Machine readiness", "Admin password", "Set up & start", "You're set"});
    rail->setStates({StepState::done, StepState::done, StepState::current, StepState::upcoming, StepState::upcoming});
    rail->setFixedHeight(330);
    row->addWidget(rail);
    auto* column = new QVBoxLayout;
    column->setSpacing(Spacing::section);
    column->addWidget(kitLabel("welcome, organizer", TextRole::greeting));
    column->addWidget(kitLabel("BUILD YOUR OWN\nKELDMARCH AI.", TextRole::display));
    column->addWidget(new TRNumberedItem(1, "We'll find the free Tavrin AI app",
                                         "The Keldmarch server uses its model."));
    column->addWidget(new TRNumberedItem(2, "We'll start the server & hand you an API key",
                                         "You'll leave with a working endpoint."));
    column->addWidget(new TRProgress("Checking hardware…"));
    column->addStretch(1);
    row->addLayout(column, 1);
    sheet->caption("Network map buttons · chosen, not chosen");
    auto* choices = new QHBoxLayout;
    choices->setSpacing(Spacing::grid);
    auto* local = new TRNetMapButton("cpu", "Default", "Just this computer", "127.0.0.1 only · port 11434");
    auto* lan = new TRNetMapButton("wifi", {}, "My whole network", "0.0.0.0 binding · LAN clients with API key");
    local->setChecked(true);
    choices->addWidget(local, 1);
    choices->addWidget(lan, 1);
    sheet->add(choices);
    sheet->caption("Code block");
    sheet->add(new TRCodeBlock("curl http://127.0.0.1:11434/v1/models \\\n  -H \"Authorization: Bearer tk-0123456789abcdef\"",
                               "Copy test command"));
    return sheet;
}

// The ways around: the window's sidebar with a pinned model, the tray menu's rows, a toolbar's icon button.
std::unique_ptr<Sheet> navigationSheet() {
    auto sheet = std::make_unique<Sheet>(640);
    sheet->caption("Sidebar · chosen row, pinned model; menu rows; icon button");
    auto* row = sheet->row();
    auto* sidebar = new KeldmarchSidebar(
        {{"Status", "gauge.medium"}, {"API Keys", "key.fill"}, {"Logs", "list.bullet.rectangle"}});
    sidebar->setPinnedModel(QStringLiteral("tavrin-sample-2026.11.03-nightly-q4-instruct"));
    sidebar->setFixedHeight(300);
    row->addWidget(sidebar, 0, Qt::AlignTop);
    auto* panel = new MBPanel;
    auto* actions = new QWidget;
    auto* items = new QVBoxLayout(actions);
    items->setContentsMargins(0, 0, 0, 0);
    items->setSpacing(0);
    items->addWidget(new MBItem("arrow.triangle.2.circlepath", "Restart server"));
    items->addWidget(new MBItem("stop.fill", "Stop server", true));
    panel->addBlock(actions);
    row->addWidget(panel, 0, Qt::AlignTop);
    row->addWidget(new TRIconButton("arrow.clockwise", "Refresh"), 0, Qt::AlignTop);
    endRow(row);
    return sheet;
}

// A tab page as screens will compose it, to judge the kit's parts together.
std::unique_ptr<QWidget> samplePage() {
    auto page = std::make_unique<TabContent>();
    page->resize(860, 980);
    page->addWidget(new TabHeader("Server", "Your Tavrin server is live.",
                                  "One computer, two endpoints, no surveillance. Everything below reflects what the "
                                  "server is doing right now."));
    auto* hero = new HeroCard;
    auto* top = new QHBoxLayout;
    auto* phase = new QVBoxLayout;
    phase->setSpacing(Spacing::lines);
    phase->addWidget(new TRCaption("Phase"));
    phase->addWidget(kitLabel("Running", TextRole::phase, Theme::okGreen()));
    phase->addWidget(kitLabel("Uptime · 3h 12m", TextRole::phaseDetail));
    top->addLayout(phase, 1);
    auto* stop = new TRButton("Stop server", GhostButtonStyle{.danger = true});
    stop->setSymbol("stop.fill");
    top->addWidget(stop, 0, Qt::AlignTop);
    hero->body()->addLayout(top);
    hero->body()->addWidget(new EndpointBox("Localhost", "http://127.0.0.1:11434/v1"));
    hero->body()->addWidget(new EndpointBox("LAN", "disabled · enable in Network tab", {.dashed = true, .muted = true}));
    page->addWidget(hero);
    auto* grid = new QGridLayout;
    grid->setSpacing(Spacing::grid);
    grid->addWidget(new StatTile("cube", "Model", "prod-2026-11", "Adapter · Steering loaded"), 0, 0);
    grid->addWidget(new StatTile("cpu", "Hardware", "Apple M3 Max", "36 GB · Debian GNU/Linux 12 (bookworm)"), 0, 1);
    grid->addWidget(new StatTile("paperplane.fill", "Concurrency", "1 in flight · 0 queued",
                                 "503 above 32 · completed 118 since start"),
                    1, 0);
    page->addLayout(grid);
    auto* login = new TRCard("Start at login", "systemd will start the Tavrin server every time you sign in.");
    auto* toggle = new KeldmarchSwitch("Start at login");
    toggle->setLabelHidden(true);
    toggle->setChecked(true);
    login->setAccessory(toggle);
    page->addWidget(login);
    auto* details = new TRDisclosure("Technical details", true);
    details->body()->addWidget(new KVRow("PID", "4242", {.monospaced = true, .copyable = true, .labelWidth = 130}));
    details->body()->addWidget(
        new KVRow("State directory", "/home/ada/.local/share/Tavrin Server", {.monospaced = true, .copyable = true, .labelWidth = 130}));
    page->addWidget(details);
    return page;
}

using PageBuilder = std::unique_ptr<QWidget> (*)();

// The gallery's pages in order, each with the name of its file.
const std::pair<const char*, PageBuilder> pages[] = {
    {"01-palette", [] { return std::unique_ptr<QWidget>(paletteSheet()); }},
    {"02-type", [] { return std::unique_ptr<QWidget>(typeSheet()); }},
    {"03-pills", [] { return std::unique_ptr<QWidget>(pillSheet()); }},
    {"04-banners", [] { return std::unique_ptr<QWidget>(bannerSheet()); }},
    {"05-buttons", [] { return std::unique_ptr<QWidget>(buttonSheet()); }},
    {"06-controls", [] { return std::unique_ptr<QWidget>(controlSheet()); }},
    {"07-cards", [] { return std::unique_ptr<QWidget>(cardSheet()); }},
    {"08-rows-tiles", [] { return std::unique_ptr<QWidget>(rowSheet()); }},
    {"09-modes-nodes-logo", [] { return std::unique_ptr<QWidget>(modeSheet()); }},
    {"10-symbols", [] { return std::unique_ptr<QWidget>(iconSheet()); }},
    {"11-sample-page", [] { return samplePage(); }},
    {"12-setup", [] { return std::unique_ptr<QWidget>(setupSheet()); }},
    {"13-navigation", [] { return std::unique_ptr<QWidget>(navigationSheet()); }},
};

// A page on a stage of its own, laid out at its width and shown without a window on screen. The stage
// has no layout, so that sizing the page never touches the limits of a window (which platforms
// without window managers complain about).
class Stage {
public:
    explicit Stage(PageBuilder build) : m_page(build()) {
        m_stage.setAttribute(Qt::WA_DontShowOnScreen);
        m_page->setParent(&m_stage);
        // Sheets have a fixed width; wrapped texts decide their height at that width.
        if (dynamic_cast<Sheet*>(m_page.get())) {
            m_page->layout()->activate();
            const int height = m_page->hasHeightForWidth() ? m_page->heightForWidth(m_page->width())
                                                           : m_page->sizeHint().height();
            m_page->resize(m_page->width(), height);
        }
        m_stage.resize(m_page->size());
        m_page->show();
        m_stage.show();
        QCoreApplication::sendPostedEvents();
    }
    QWidget* page() const { return m_page.get(); }
    QWidget* window() { return &m_stage; }

private:
    QWidget m_stage;
    std::unique_ptr<QWidget> m_page; // goes first, while its stage is still there
};

// The kit class a focused widget belongs to: itself, or the kit component it is part of (a text
// editor's inner field).
QWidget* kitControlOf(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (QLatin1String(w->metaObject()->className()).startsWith(QLatin1String("tavrin::")))
            return w;
    return widget;
}

// `area` of a window as it is painted now, at twice the size, so that a ring a pixel or two wide is
// plain to see.
QImage enlarged(QWidget* window, const QRect& area) {
    constexpr qreal kScale = 2;
    QImage image(area.size() * kScale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(kScale);
    image.fill(Theme::canvas());
    window->render(&image, QPoint(), QRegion(area));
    image.setDevicePixelRatio(1);
    return image;
}

// Where the keyboard is, for each kind of control the gallery shows: the control unfocused, and beside
// it focused as Tab leaves it, in two cells of one size, so that the ring is what differs. Written to
// `dir`, one file per kind.
std::expected<QStringList, QString> renderFocusRings(const QString& dir) {
    constexpr int kMargin = 8; // of the page around the control, for a ring drawn outside it
    constexpr int kPadding = 12;
    if (!QDir().mkpath(dir))
        return std::unexpected(QStringLiteral("Could not create ") + dir);
    QStringList written;
    QSet<QString> seen;
    for (const auto& page : pages) {
        Stage stage(page.second);
        QWidget* window = stage.window();
        window->setAttribute(Qt::WA_KeyboardFocusChange); // as after a Tab: rings are for keyboard users
        QApplication::setActiveWindow(window);
        for (QWidget* target : stage.page()->findChildren<QWidget*>()) {
            if (!(target->focusPolicy() & Qt::TabFocus) || !target->isEnabled() ||
                !target->isVisibleTo(window))
                continue;
            QWidget* control = kitControlOf(target);
            const QString kind =
                QString::fromLatin1(control->metaObject()->className()).remove(QLatin1String("tavrin::"));
            if (seen.contains(kind))
                continue;
            seen.insert(kind);
            const QRect area = QRect(control->mapTo(window, QPoint(0, 0)), control->size())
                                   .adjusted(-kMargin, -kMargin, kMargin, kMargin)
                                   .intersected(window->rect());
            if (QWidget* focused = QApplication::focusWidget())
                focused->clearFocus();
            const QImage unfocused = enlarged(window, area);
            target->setFocus(Qt::TabFocusReason);
            const QImage focused = enlarged(window, area);
            const QSize cell = unfocused.size() + QSize(2 * kPadding, 2 * kPadding);
            QImage pair(cell.width() * 2, cell.height(), QImage::Format_ARGB32);
            pair.fill(Theme::surface());
            QPainter painter(&pair);
            painter.drawImage(kPadding, kPadding, unfocused);
            painter.drawImage(cell.width() + kPadding, kPadding, focused);
            painter.end();
            const QString file = QDir(dir).filePath(kind + QStringLiteral(".png"));
            if (!pair.save(file))
                return std::unexpected(QStringLiteral("Could not write ") + file);
            written << file;
        }
        QApplication::setActiveWindow(nullptr);
    }
    return written;
}

} // namespace

std::vector<std::unique_ptr<QWidget>> kitGalleryPages() {
    std::vector<std::unique_ptr<QWidget>> built;
    for (const auto& page : pages)
        built.push_back(page.second());
    return built;
}

std::expected<QStringList, QString> renderKitGallery(const QString& dir) {
    Theme::loadFonts();
    if (!QDir().mkpath(dir))
        return std::unexpected(QStringLiteral("Could not create ") + dir);
    QStringList written;
    for (const auto& [name, build] : pages) {
        Stage stage(build);
        const QString file = QDir(dir).filePath(QString::fromLatin1(name) + ".png");
        if (!stage.page()->grab().save(file))
            return std::unexpected(QStringLiteral("Could not write ") + file);
        written << file;
    }
    auto rings = renderFocusRings(QDir(dir).filePath(QStringLiteral("focus")));
    if (!rings)
        return rings;
    return written + *rings;
}

} // namespace tavrin
