#include "ui/tabs/NetworkTabLogic.h"

#include <QCoreApplication>

#include <algorithm>

namespace tavrin {

namespace {

QLocale withoutGrouping(QLocale locale) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

// A carriage return is the rest of a line break pasted from elsewhere, never part of an entry.
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r'); }

} // namespace

MapNodeText loopbackNode() {
    return {QStringLiteral("cpu"), QCoreApplication::translate("NetworkTabLogic", "This computer"),
            QCoreApplication::translate("NetworkTabLogic", "Localhost"),
            QCoreApplication::translate("NetworkTabLogic",
                                        "Apps on this computer (127.0.0.1) can reach the server. Always on."),
            true};
}

MapNodeText networkNode(const ClientNetworkPreferences& prefs, const QString& hostName) {
    if (!prefs.lanEnabled)
        return {
            QStringLiteral("wifi"), QCoreApplication::translate("NetworkTabLogic", "Your network"),
            QCoreApplication::translate("NetworkTabLogic", "LAN — disabled"),
            QCoreApplication::translate(
                "NetworkTabLogic", "Toggle below to expose the server to other machines on this network."),
            false};
    return {QStringLiteral("wifi"), QCoreApplication::translate("NetworkTabLogic", "Your network"),
            QCoreApplication::translate("NetworkTabLogic", "LAN — Wi-Fi & Ethernet"),
            QCoreApplication::translate("NetworkTabLogic", "Other devices on Wi-Fi can reach http://%1:%2")
                .arg(hostName, QString::number(prefs.bindPort)),
            true};
}

std::optional<qint64> portFromText(const QString& text, const QLocale& locale) {
    bool ok = false;
    const qint64 port = withoutGrouping(locale).toLongLong(text, &ok);
    if (!ok)
        return std::nullopt;
    return port;
}

QString portText(qint64 port, const QLocale& locale) { return withoutGrouping(locale).toString(port); }

bool couldBePort(const QString& text, const QLocale& locale) {
    QStringView digits(text);
    if (digits.startsWith(locale.negativeSign()))
        digits = digits.sliced(locale.negativeSign().size());
    return std::ranges::all_of(digits, [](QChar c) { return c.isDigit(); });
}

std::optional<QString> mdnsNameFromText(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

std::vector<QString> entriesFromText(const QString& text) {
    std::vector<QString> entries;
    for (QStringView piece : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        qsizetype from = 0, to = piece.size();
        while (from < to && isBlank(piece[from]))
            ++from;
        while (to > from && isBlank(piece[to - 1]))
            --to;
        if (to > from)
            entries.push_back(piece.sliced(from, to - from).toString());
    }
    return entries;
}

QString textFromEntries(const std::vector<QString>& entries) {
    return QStringList(entries.begin(), entries.end()).join(QLatin1Char('\n'));
}

ClientNetworkPreferences preferencesToSend(ClientNetworkPreferences prefs, const QString& corsText,
                                           const QString& allowlistText) {
    prefs.corsAllowedOrigins = entriesFromText(corsText);
    prefs.ipAllowlist = entriesFromText(allowlistText);
    return prefs;
}


} // namespace tavrin
