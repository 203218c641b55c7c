#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"

#include <QColor>
#include <QString>

#include <optional>

namespace tavrin {

// What the Org Preamble tab decides from the text being typed, without a window.

// The line under the editor. The text is counted as typed, surrounding white space included, though
// what is sent is trimmed: the limit a user reads is the one the counter shows.
struct PreambleCounter {
    QString text; // "12 / 2000 characters"
    QColor colour;
    bool overLimit = false;
};
PreambleCounter preambleCounter(const QString& typed, qint64 maxLength);

// What "Save preamble" sends: the text without white space or line breaks at either end, or no
// preamble at all when nothing else is left.
std::optional<QString> preambleToSend(const QString& typed);

bool preambleSaveEnabled(const PreambleCounter& counter, bool saving);
bool preambleClearEnabled(const QString& typed, bool saving);

} // namespace tavrin
