#include "ui/tabs/UpdatesTabLogic.h"

#include <QStringList>

namespace tavrin {

namespace {
constexpr qint64 kMebibyte = 1024 * 1024;
}

QString releasedLine(const ClientAppcastRelease& release, const QString& channel) {
    QString line = QStringLiteral("Released ") + release.publishedAt + QStringLiteral(" · ") + channel +
                   QStringLiteral(" channel");
    // Below a mebibyte the size would round to "0 MB" or "1 MB" and say nothing true.
    if (release.pkgSize && *release.pkgSize >= kMebibyte)
        line += QStringLiteral(" · ") + QString::asprintf("%.0f", double(*release.pkgSize) / double(kMebibyte)) +
                QStringLiteral(" MB");
    return line;
}

QString releaseNotesText(const ClientAppcastRelease& release) {
    if (release.releaseNotes && !release.releaseNotes->isEmpty())
        return *release.releaseNotes;
    return QStringLiteral("No release notes published.");
}

QString releaseCardTitle(const ClientAppcastRelease& release) { return QStringLiteral("What's in ") + release.version; }

QString versionText(const QString& version) { return QStringLiteral("v") + version; }

QString lastCheckedText(const ClientUpdaterStatus& status) {
    return status.lastCheckedAt.value_or(QStringLiteral("never"));
}

QString upToDateLine(const ClientUpdaterStatus& status) {
    return QStringLiteral("Latest stable on the ") + status.channel + QStringLiteral(" channel · last checked ") +
           lastCheckedText(status);
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
    return checking ? QStringLiteral("Checking…") : QStringLiteral("Check now");
}

CheckOutcome checkOutcome(const ClientUpdateCheckResponse& response) {
    if (response.error)
        return {{}, *response.error};
    return {updateCheckedMessage(response.status.availableUpdate.has_value()), {}};
}

} // namespace tavrin
