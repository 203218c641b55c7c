#include "ui/wizard/WizardLogic.h"

#include "base/ServerAddress.h"
#include "ui/ServerFigures.h"
#include "ui/kit/Theme.h"

#include <QCoreApplication>

namespace tavrin {

namespace {

const QString kUnsupported = QStringLiteral("unsupported");
const QString kSupported = QStringLiteral("supported");

// Apple silicon by its tier; any other processor by what the Linux rules judge, its being 64-bit.
QString supportDetail(const ClientHardwareReport& hardware) {
    if (hardware.isAppleSilicon)
        return QCoreApplication::translate("WizardLogic", "Apple silicon · %1").arg(hardware.chipTier);
    return hardware.supportLevel == kUnsupported
               ? QCoreApplication::translate("WizardLogic", "Not a 64-bit processor")
               : QCoreApplication::translate("WizardLogic", "64-bit processor");
}

} // namespace

QString wizardStepTitle(WizardStep step) {
    switch (step) {
    case WizardStep::welcome:
        return QCoreApplication::translate("WizardLogic", "Welcome");
    case WizardStep::readiness:
        return QCoreApplication::translate("WizardLogic", "Machine readiness");
    case WizardStep::adminSecret:
        return QCoreApplication::translate("WizardLogic", "Admin password");
    case WizardStep::setupAndStart:
        return QCoreApplication::translate("WizardLogic", "Set up & start");
    case WizardStep::done:
        break;
    }
    return QCoreApplication::translate("WizardLogic", "You're set");
}

QString wizardStepHeader(WizardStep step) {
    return QCoreApplication::translate("WizardLogic", "Step %1 of %2 · %3")
        .arg(QString::number(int(step) + 1), QString::number(wizardStepCount), wizardStepTitle(step));
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
        return {QStringLiteral("checkmark.circle.fill"),
                QCoreApplication::translate("WizardLogic", "Tavrin AI app found"),
                QCoreApplication::translate("WizardLogic", "Ready"), PillKind::ok, false};
    return {QStringLiteral("magnifyingglass"),
            QCoreApplication::translate("WizardLogic", "Looking for Tavrin AI"),
            search.checked ? QCoreApplication::translate("WizardLogic", "Not found")
                           : QCoreApplication::translate("WizardLogic", "Checking…"),
            search.checked ? PillKind::bad : PillKind::muted, true};
}

HardwareLook hardwareLook(const ClientHardwareReport& hardware, bool simulated) {
    const bool supported = hardware.supportLevel == kSupported;
    HardwareLook look;
    look.title = hardware.appleSiliconChip.value_or(hardware.cpuBrand);
    look.subtitle = memoryAndSystem(hardware, QCoreApplication::translate("WizardLogic", " RAM"));
    if (simulated)
        look.subtitle += QCoreApplication::translate("WizardLogic", " · simulated host, not this machine");
    look.pill = supported ? QCoreApplication::translate("WizardLogic", "Supported")
                          : QCoreApplication::translate("WizardLogic", "Warning");
    look.pillKind = supported ? PillKind::ok : PillKind::warn;
    // The server's two known levels are read in the user's language; another it may send, as it is.
    QString level = hardware.supportLevel;
    if (level == kSupported)
        level = QCoreApplication::translate("WizardLogic", "Supported");
    else if (level == kUnsupported)
        level = QCoreApplication::translate("WizardLogic", "Unsupported");
    else if (!level.isEmpty())
        level[0] = level[0].toUpper();
    look.tiles = {{
        {QStringLiteral("wand.and.stars"),
         QCoreApplication::translate("WizardLogic", "Concurrent generations"),
         QString::number(hardware.recommendedConcurrency),
         QCoreApplication::translate("WizardLogic", "Recommended ceiling"),
         {}},
        {QStringLiteral("paperplane.fill"),
         QCoreApplication::translate("WizardLogic", "Queue before 503"),
         QString::number(hardware.recommendedMaxQueueDepth),
         QCoreApplication::translate("WizardLogic", "Default backpressure"),
         {}},
        {QStringLiteral("checkmark.seal"), QCoreApplication::translate("WizardLogic", "Support status"),
         level, supportDetail(hardware), supported ? Theme::okGreen() : Theme::warnAmber()},
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
        return {QCoreApplication::translate("WizardLogic", "Copied"), QStringLiteral("checkmark")};
    return {QCoreApplication::translate("WizardLogic", "Copy"), QStringLiteral("doc.on.doc")};
}

QString generatedPasswordCaption() {
    return QCoreApplication::translate(
        "WizardLogic",
        "43 characters, 256 bits of randomness: far beyond guessing. Safe to keep in a password "
        "manager or a team vault.");
}

StartFace startButtonFace(bool working, bool running) {
    if (working)
        return {QCoreApplication::translate("WizardLogic", "Starting…"), {}, true, false};
    if (running)
        return {QCoreApplication::translate("WizardLogic", "Server is running"),
                QStringLiteral("checkmark.circle.fill"), false, false};
    return {QCoreApplication::translate("WizardLogic", "Start Tavrin Keldmarch"), QStringLiteral("play.fill"),
            false, true};
}

QString localhostNodeDetail(int port) {
    return QCoreApplication::translate("WizardLogic", "127.0.0.1 only · port %1").arg(port);
}

QString startedMessage(bool startAtLogin) {
    if (startAtLogin)
        return QCoreApplication::translate("WizardLogic",
                                           "Server started. It'll start automatically next time you log in.");
    return QCoreApplication::translate(
        "WizardLogic", "Server started for this session. Start it from the Status tab next time.");
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
