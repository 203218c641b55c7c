#include "server/engines/UpstreamRecords.h"

namespace tavrin {

QString cleanUpstreamText(const QString& text, qsizetype limit) {
    QString out;
    out.reserve(std::min(text.size(), limit + 1));
    bool space = false;
    for (const QChar c : text) {
        if (out.size() >= limit)
            break;
        const auto category = c.category();
        if (c.isSpace()) {
            space = !out.isEmpty();
            continue;
        }
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            continue;
        if (space)
            out += QLatin1Char(' ');
        space = false;
        out += c;
    }
    if (out.size() >= limit && text.size() > limit)
        out += QStringLiteral("…");
    return out;
}

QString upstreamRefusal(const QString& address, int status, const std::string& body) {
    const QByteArrayView bytes(body.data(), qsizetype(body.size()));
    QString said;
    if (const auto refusal = decodeJson<UpstreamRefusal>(bytes)) {
        if (refusal->error && refusal->error->message)
            said = *refusal->error->message;
        else if (refusal->message)
            said = *refusal->message;
    } else if (const auto text = decodeJson<UpstreamRefusalText>(bytes); text && text->error) {
        said = *text->error;
    } else {
        said = QString::fromUtf8(bytes);
    }
    said = cleanUpstreamText(said);
    if (said.isEmpty())
        return QStringLiteral("The engine at %1 answered %2.").arg(address).arg(status);
    return QStringLiteral("The engine at %1 answered %2: %3").arg(address).arg(status).arg(said);
}

} // namespace tavrin
