#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"

#include <QColor>
#include <QString>

#include <optional>

namespace tavrin {

// What the Org Preamble tab decides from the text being typed, without a window.

// The line under the editor: the length and the limit as the preamble's save counts them.
struct PreambleCounter {
    QString text; // "12 / 2000 characters"
    QColor colour;
    bool overLimit = false;
};
PreambleCounter preambleCounter(const QString& typed, qint64 maxLength);

bool preambleSaveEnabled(const PreambleCounter& counter, bool saving);
bool preambleClearEnabled(const QString& typed, bool saving);

} // namespace tavrin
