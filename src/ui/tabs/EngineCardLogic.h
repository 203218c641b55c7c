#pragma once

#include "protocol/ClientRecords.h"

#include <QString>

namespace tavrin {

// What the Models tab's engine card decides without a window: which choice a record is, what its
// fields read, and what Save sends from what they hold.

enum class EngineChoice { builtin, openai };
EngineChoice engineChoiceOf(const ClientEngineSettings& settings);

// The fields' texts, as typed.
struct EngineFieldTexts {
    QString url;
    QString model;
    QString servedName;
    QString keyFile;
    QString timeoutSeconds;
    bool operator==(const EngineFieldTexts&) const = default;
};

// A record as its fields show it: a value it leaves out reads as an empty field.
EngineFieldTexts fieldTextsOf(const ClientEngineSettings& settings);

// What Save sends for an OpenAI-compatible engine: `held` (what the server holds, so that what the
// card does not show, the connect timeout, stays as it is) with the fields' texts. A field left blank
// leaves its value out, and the server's default applies; the rest goes as typed, without the spaces
// around it, and the server judges it.
ClientEngineSettings settingsToSend(ClientEngineSettings held, const EngineFieldTexts& typed);

// What the card says after "Test engine": how long the answer took.
QString engineTestTimes(const ClientEngineTestResult& result);

} // namespace tavrin
