#include "server/InferenceRecords.h"

namespace tavrin::json {

Decoded<MessageContent> Codec<MessageContent>::decode(const QJsonValue& v, const Path& p) {
    if (v.isString())
        return MessageContent{v.toString()};
    if (!v.isArray())
        return std::unexpected(wrongType(p, "string or array of parts", v));
    QString text;
    const QJsonArray parts = v.toArray();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Path part{&p, nullptr, i};
        const QJsonObject object = parts.at(i).toObject();
        if (object.value(QLatin1StringView("type")).toString() != QLatin1StringView("text"))
            return std::unexpected(failure(part, QStringLiteral("only text parts are supported")));
        const QJsonValue partText = object.value(QLatin1StringView("text"));
        if (!partText.isString())
            return std::unexpected(wrongType(Path{&part, "text", -1}, "string", partText));
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += partText.toString();
    }
    return MessageContent{text};
}

} // namespace tavrin::json
