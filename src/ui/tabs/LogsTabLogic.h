#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"
#include "state/ExportDownload.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin {

// What the Logs tab decides from its copy of the logging settings, without a window.

struct ModeCardText {
    ClientAuditMode mode;
    QString label;
    QString title;
    QString description;
    bool on = false;
};
// The three cards, left to right, for the mode in the copy. A mode without a card of its own
// ("hash") turns none on.
std::vector<ModeCardText> modeCards(ClientAuditMode current);

// The retention picker's choices (7, 30, 90 and 365 days) and their segments.
QStringList retentionLabels();
qint64 retentionDays(int index);
// -1 for a number of days the picker does not list: it then shows no choice, and the value is kept.
int retentionIndex(qint64 days);

// One of the two export buttons: what is asked of the server and what the save dialog proposes.
struct ExportChoice {
    AuditExportRequest request;
    QString fileName;
    QString filter;
};
ExportChoice usageExport();
// The prompt contents are asked for exactly as the checkbox stands when the button is pressed.
ExportChoice auditExport(bool includeContents);

// "Saved " and the file's name.
QString exportSavedMessage(const QString& path);

} // namespace tavrin
