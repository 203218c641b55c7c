#include "server/inference/InferenceRecords.h"

namespace tavrin::json {

bool Codec<MessageContent>::read(Reader& r, const Path& p, MessageContent& out) {
    if (r.peek() == Reader::Kind::String)
        return r.readString(out.text);
    if (r.peek() != Reader::Kind::Array)
        return r.wrongType(p, "string or array of parts");
    std::vector<ContentPart> parts;
    if (!readValue(r, p, parts))
        return false;
    out.text.clear();
    for (qsizetype i = 0; i < qsizetype(parts.size()); ++i) {
        const Path part{&p, nullptr, i};
        if (parts[std::size_t(i)].type != QLatin1StringView("text"))
            return r.fail(failure(part, QStringLiteral("only text parts are supported")));
        if (!parts[std::size_t(i)].text)
            return r.fail(failure(Path{&part, "text", -1}, QStringLiteral("missing required key")));
        if (i > 0)
            out.text += QLatin1Char('\n');
        out.text += *parts[std::size_t(i)].text;
    }
    return true;
}

bool Codec<StopWords>::read(Reader& r, const Path& p, StopWords& out) {
    out.words.clear();
    if (r.peek() == Reader::Kind::String) {
        QString word;
        if (!r.readString(word))
            return false;
        out.words.push_back(std::move(word));
        return true;
    }
    if (r.peek() != Reader::Kind::Array)
        return r.wrongType(p, "string or array of strings");
    return readValue(r, p, out.words);
}

QJsonValue Codec<StopWords>::encode(const StopWords& s) { return Codec<std::vector<QString>>::encode(s.words); }

} // namespace tavrin::json
