#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tavrin {

// What the Network tab decides from its copy of the preferences, without a window.

struct MapNodeText {
    QString symbol;
    QString head;
    QString title;
    QString detail;
    bool active = false;
};
// This machine: always reachable.
MapNodeText loopbackNode();
// The local network, as the switch and the port stand now, before anything is saved.
MapNodeText networkNode(const ClientNetworkPreferences& prefs, const QString& hostName);

// The port as typed: a whole number in `locale`'s digits, without digit grouping (so "18,080" is
// no port). Nothing for anything else, which leaves the saved port as it was.
std::optional<qint64> portFromText(const QString& text, const QLocale& locale = QLocale());
QString portText(qint64 port, const QLocale& locale = QLocale());
// Whether typing `text` into the port field can still lead to a port: digits only, an optional
// leading minus (the server judges the range).
bool couldBePort(const QString& text, const QLocale& locale = QLocale());

// An empty mDNS field means no name at all, not an empty one.
std::optional<QString> mdnsNameFromText(const QString& text);

// An allowlist or origins editor's text as the list it stands for: one entry a line, each trimmed
// of spaces and tabs, blank lines dropped; order and duplicates kept, entries otherwise as typed.
std::vector<QString> entriesFromText(const QString& text);
QString textFromEntries(const std::vector<QString>& entries);

// What "Save changes" sends: the copy, with both lists taken from their editors.
ClientNetworkPreferences preferencesToSend(ClientNetworkPreferences prefs, const QString& corsText,
                                           const QString& allowlistText);

} // namespace tavrin
