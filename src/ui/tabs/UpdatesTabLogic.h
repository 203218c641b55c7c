#pragma once

#include "protocol/ClientRecords.h"
#include "state/ActionWords.h"

#include <QString>

#include <optional>

namespace tavrin {

// What the Updates tab says about the updater's state, decided without a window.

// "Released <date> · <channel> channel", with " · 3 MB" when the package is at least one MiB.
QString releasedLine(const ClientAppcastRelease& release, const QString& channel);
QString releaseNotesText(const ClientAppcastRelease& release);
QString releaseCardTitle(const ClientAppcastRelease& release);

// "v0.1.0"
QString versionText(const QString& version);
// When the updater last looked, or "never".
QString lastCheckedText(const ClientUpdaterStatus& status);
QString upToDateLine(const ClientUpdaterStatus& status);
// "stable" reads "Stable", "early access" reads "Early Access".
QString channelTitle(const QString& channel);
QString checkButtonText(bool checking);

// What a check that reached the server tells the user: the updater's own problem, or else whether
// it found a release.
struct CheckOutcome {
    QString message;
    QString error;
    bool operator==(const CheckOutcome&) const = default;
};
CheckOutcome checkOutcome(const ClientUpdateCheckResponse& response);

} // namespace tavrin
