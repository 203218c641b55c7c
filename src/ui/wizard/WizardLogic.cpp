#include "ui/wizard/WizardLogic.h"

#include "base/ServerAddress.h"
#include "ui/ServerFigures.h"
#include "ui/kit/Theme.h"

namespace tavrin {

namespace {

const QString kUnsupported = QStringLiteral("unsupported");
const QString kSupported = QStringLiteral("supported");

// Apple silicon by its tier; any other processor by what the Linux rules judge, its being 64-bit.
QString supportDetail(const ClientHardwareReport& hardware) {
    if (hardware.isAppleSilicon)
        return QStringLiteral("Apple silicon · ") + hardware.chipTier;
    return hardware.supportLevel == kUnsupported ? QStringLiteral("Not a 64-bit processor")
                                                 : QStringLiteral("64-bit processor");
}

} // namespace

QString wizardStepTitle(WizardStep step) {
    switch (step) {
    case WizardStep::welcome:
        return QStringLiteral("Welcome");
    case WizardStep::readiness:
        return QStringLiteral("Machine readiness");
    case WizardStep::adminSecret:
        return QStringLiteral("Admin password");
    case WizardStep::setupAndStart:
        return QStringLiteral("Set up & start");
    case WizardStep::done:
        break;
    }
    return QStringLiteral("You're set");
}

QString wizardStepHeader(WizardStep step) {
    return QStringLiteral("Step %1 of %2 · ").arg(int(step) + 1).arg(wizardStepCount) + wizardStepTitle(step);
}

std::optional<WizardStep> nextStep(WizardStep step) {
    if (step == WizardStep::done)
        return std::nullopt;
    return WizardStep(int(step) + 1);
}

std::optional<WizardStep> previousStep(WizardStep step) {
    if (step == WizardStep::welcome)
        return std::nullopt;
    return WizardStep(int(step) - 1);
}

StepState railRowState(WizardStep row, WizardStep current) {
    if (row < current)
        return StepState::done;
    return row == current ? StepState::current : StepState::upcoming;
}

bool railRowGoesBack(WizardStep row, WizardStep current) { return row < current; }

bool readinessCanContinue(bool companionFound, const std::optional<ClientHardwareReport>& hardware) {
    return companionFound && !(hardware && hardware->supportLevel == kUnsupported);
}

CompanionLook companionLook(const CompanionSearch& search) {
    if (search.found)
        return {QStringLiteral("checkmark.circle.fill"), QStringLiteral("Tavrin AI app found"), QStringLiteral("Ready"),
                PillKind::ok, false};
    return {QStringLiteral("magnifyingglass"), QStringLiteral("Looking for Tavrin AI"),
            search.checked ? QStringLiteral("Not found") : QStringLiteral("Checking…"),
            search.checked ? PillKind::bad : PillKind::muted, true};
}

HardwareLook hardwareLook(const ClientHardwareReport& hardware, bool simulated) {
    const bool supported = hardware.supportLevel == kSupported;
    HardwareLook look;
    look.title = hardware.appleSiliconChip.value_or(hardware.cpuBrand);
    look.subtitle = memoryAndSystem(hardware, QStringLiteral(" RAM"));
    if (simulated)
        look.subtitle += QStringLiteral(" · simulated host, not this machine");
    look.pill = supported ? QStringLiteral("Supported") : QStringLiteral("Warning");
    look.pillKind = supported ? PillKind::ok : PillKind::warn;
    QString level = hardware.supportLevel;
    if (!level.isEmpty())
        level[0] = level[0].toUpper();
    look.tiles = {{
        {QStringLiteral("wand.and.stars"), QStringLiteral("Concurrent generations"),
         QString::number(hardware.recommendedConcurrency), QStringLiteral("Recommended ceiling"), {}},
        {QStringLiteral("paperplane.fill"), QStringLiteral("Queue before 503"),
         QString::number(hardware.recommendedMaxQueueDepth), QStringLiteral("Default backpressure"), {}},
        {QStringLiteral("checkmark.seal"), QStringLiteral("Support status"), level,
         supportDetail(hardware),
         supported ? Theme::okGreen() : Theme::warnAmber()},
    }};
    look.notes = hardware.supportNotes;
    return look;
}

bool adminSecretCanSave(const QString& generated, const OwnPassword& own) {
    if (!own.shown)
        return !generated.isEmpty();
    return SetupActions::acceptablePassword(own.password, own.confirmation);
}

QString passwordToSave(const QString& generated, const OwnPassword& own) {
    return own.shown ? own.password : generated;
}

bool passwordsMismatchShown(const OwnPassword& own) {
    return !own.password.isEmpty() && own.password != own.confirmation;
}

CopyFace copyPasswordFace(bool copied) {
    if (copied)
        return {QStringLiteral("Copied"), QStringLiteral("checkmark")};
    return {QStringLiteral("Copy"), QStringLiteral("doc.on.doc")};
}

QString generatedPasswordCaption() {
    return QStringLiteral("43 characters, 256 bits of randomness: far beyond guessing. Safe to keep in a password "
                          "manager or a team vault.");
}

StartFace startButtonFace(bool working, bool running) {
    if (working)
        return {QStringLiteral("Starting…"), {}, true, false};
    if (running)
        return {QStringLiteral("Server is running"), QStringLiteral("checkmark.circle.fill"), false, false};
    return {QStringLiteral("Start Tavrin Keldmarch"), QStringLiteral("play.fill"), false, true};
}

QString localhostNodeDetail(int port) { return QStringLiteral("127.0.0.1 only · port ") + QString::number(port); }

QString startedMessage(bool startAtLogin) {
    if (startAtLogin)
        return QStringLiteral("Server started. It'll start automatically next time you log in.");
    return QStringLiteral("Server started for this session. Start it from the Status tab next time.");
}

DoneEndpoints doneEndpoints(const std::optional<ClientServerStatus>& status, const QString& hostName) {
    if (!status)
        return {localhostEndpoint(ServerAddress::defaultPort), std::nullopt};
    return {localhostEndpoint(*status), lanEndpoint(*status, hostName)};
}

QString smokeTestCommand(const QString& localhostEndpoint, const QString& key) {
    return QStringLiteral("curl ") + localhostEndpoint + QStringLiteral("/models \\\n  -H \"Authorization: Bearer ") +
           key + QLatin1Char('"');
}

} // namespace tavrin
