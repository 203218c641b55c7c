#include "ui/tabs/UpdatesTabLogic.h"

#include "base/ShownFigures.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace tavrin {

namespace {
constexpr qint64 kMebibyte = 1024 * 1024;
}

QString releasedLine(const ClientAppcastRelease& release, const QString& channel) {
    QString line = QCoreApplication::translate("UpdatesTabLogic", "Released %1 · %2 channel")
                       .arg(shownMoment(release.publishedAt), channel);
    // Below a mebibyte the size would round to "0 MB" or "1 MB" and say nothing true.
    if (release.pkgSize && *release.pkgSize >= kMebibyte)
        //: Appended to the release line: %1 is the package size with its unit ("3 MB").
        line += QCoreApplication::translate("UpdatesTabLogic", " · %1")
                    .arg(QLocale().formattedDataSize(*release.pkgSize, 0, QLocale::DataSizeTraditionalFormat));
    return line;
}

QString releaseNotesText(const ClientAppcastRelease& release) {
    if (release.releaseNotes && !release.releaseNotes->isEmpty())
        return *release.releaseNotes;
    return QCoreApplication::translate("UpdatesTabLogic", "No release notes published.");
}

QString releaseCardTitle(const ClientAppcastRelease& release) {
    return QCoreApplication::translate("UpdatesTabLogic", "What's in %1").arg(release.version);
}

QString versionText(const QString& version) {
    //: A version as the Updates tab shows it, e.g. "v1.4.2".
    return QCoreApplication::translate("UpdatesTabLogic", "v%1").arg(version);
}

QString lastCheckedText(const ClientUpdaterStatus& status) {
    return status.lastCheckedAt ? shownMoment(*status.lastCheckedAt)
                                : QCoreApplication::translate("UpdatesTabLogic", "never");
}

QString upToDateLine(const ClientUpdaterStatus& status) {
    return QCoreApplication::translate("UpdatesTabLogic", "Latest stable on the %1 channel · last checked %2")
        .arg(status.channel, lastCheckedText(status));
}

QString channelTitle(const QString& channel) {
    QString titled = channel.toLower();
    bool wordStart = true;
    for (QChar& c : titled) {
        if (wordStart && c.isLetter())
            c = c.toUpper();
        wordStart = c.isSpace();
    }
    return titled;
}

QString checkButtonText(bool checking) {
    return checking ? QCoreApplication::translate("UpdatesTabLogic", "Checking…")
                    : QCoreApplication::translate("UpdatesTabLogic", "Check now");
}

CheckOutcome checkOutcome(const ClientUpdateCheckResponse& response) {
    if (response.error)
        return {{}, *response.error};
    return {updateCheckedMessage(response.status.availableUpdate.has_value()), {}};
}

} // namespace tavrin
