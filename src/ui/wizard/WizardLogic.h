#pragma once

#include "protocol/ClientRecords.h"
#include "state/SetupActions.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRStepRail.h"

#include <QColor>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace tavrin {

// What the first-run wizard shows and allows, decided without a window.

enum class WizardStep { welcome, readiness, adminSecret, setupAndStart, done };
inline constexpr int wizardStepCount = 5;

QString wizardStepTitle(WizardStep step);
// "Step 2 of 5 · Machine readiness".
QString wizardStepHeader(WizardStep step);
std::optional<WizardStep> nextStep(WizardStep step);
std::optional<WizardStep> previousStep(WizardStep step);

// The rail: steps before the current one are done, then the current one, then those to come.
StepState railRowState(WizardStep row, WizardStep current);
// A row takes the user back to its step, never forward; the current row changes nothing.
bool railRowGoesBack(WizardStep row, WizardStep current);

// The readiness step's "Continue →": the companion's model is found and the machine is not
// unsupported; a probe that has not answered yet counts as "unknown", so it does not hold the user up.
bool readinessCanContinue(bool companionFound, const std::optional<ClientHardwareReport>& hardware);

struct CompanionLook {
    QString symbol;
    QString title;
    QString pill;
    PillKind pillKind;
    bool showInstructions; // the instruction, "Open Folder" and "Browse…"
};
CompanionLook companionLook(const CompanionSearch& search);

struct TileLook {
    QString symbol;
    QString label;
    QString value;
    QString detail;
    QColor valueColour; // invalid: the tile's own
};
struct HardwareLook {
    QString title;
    QString subtitle;
    QString pill;
    PillKind pillKind;
    std::array<TileLook, 3> tiles;
    std::vector<QString> notes;
};
// `simulated`: the report is of the machine given on the command line, and the card says so.
HardwareLook hardwareLook(const ClientHardwareReport& hardware, bool simulated);

// The admin password step.
struct OwnPassword {
    bool shown = false; // "Use my own password instead" is open
    QString password;
    QString confirmation;
};
// "Save & continue →": the generated password once there is one; with the user's own, the rule.
bool adminSecretCanSave(const QString& generated, const OwnPassword& own);
QString passwordToSave(const QString& generated, const OwnPassword& own);
// "Passwords don't match." shows only once something has been typed.
bool passwordsMismatchShown(const OwnPassword& own);
struct CopyFace {
    QString label;
    QString symbol;
};
CopyFace copyPasswordFace(bool copied);
// What the caption under the generated password says about it.
QString generatedPasswordCaption();

// The set-up step.
struct StartFace {
    QString label;
    QString symbol; // empty while working: the progress indicator stands there instead
    bool busy;
    bool enabled;
};
StartFace startButtonFace(bool working, bool running);
QString localhostNodeDetail(int port);
QString startedMessage(bool startAtLogin);

// The done step.
struct DoneEndpoints {
    QString localhost;
    std::optional<QString> lan;
};
// From the server's status (port 11434 while there is none); the LAN one only while it listens there.
DoneEndpoints doneEndpoints(const std::optional<ClientServerStatus>& status, const QString& hostName);
// The two-line curl command that lists the models with the key.
QString smokeTestCommand(const QString& localhostEndpoint, const QString& key);

} // namespace tavrin
