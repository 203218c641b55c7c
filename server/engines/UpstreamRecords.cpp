#include "server/engines/UpstreamRecords.h"

#include <array>
#include <utility>

namespace tavrin {

namespace {

// A reader for plain JSON only: strings of printable ASCII without escapes, whole numbers in
// int64's range, true, false, null, and objects and arrays of them, not deeply nested. Whatever
// it does not know it gives up on (false), never guesses: the strict reader then reads the event
// again, and its result or its fault is the one that counts. What it accepts is valid JSON, read as
// the strict reader reads it: a later member of the same name wins, null empties an optional.
class PlainReader {
public:
    explicit PlainReader(std::string_view text) : m_at(text.data()), m_end(text.data() + text.size()) {}

    // Reads into `out`, whose choices' room is taken over from the event it held: every piece of
    // an answer comes as one event, and allocating afresh for each cost a third of reading it.
    bool chunk(UpstreamChunk& out) {
        if (out.choices) {
            m_choices = std::move(*out.choices);
            m_choices.clear();
        }
        out = UpstreamChunk{};
        return object([&](std::string_view key) {
                   if (key == "choices") {
                       if (word("null")) {
                           out.choices.reset();
                           return true;
                       }
                       std::vector<UpstreamChoice> choices = std::exchange(m_choices, {});
                       if (!choiceList(choices))
                           return false;
                       out.choices = std::move(choices);
                       return true;
                   }
                   if (key == "usage")
                       return nullable(out.usage, [&](UpstreamUsage& usage) { return this->usage(usage); });
                   if (key == "error")
                       return nullable(out.error, [&](UpstreamErrorDetail& error) {
                           return object([&](std::string_view k) { return k == "message" ? nullableString(error.message) : skip(0); });
                       });
                   return skip(0);
               }) &&
               (space(), m_at == m_end);
    }

private:
    static constexpr int maxDepth = 16;
    // The characters a plain string holds: printable ASCII but its quote and backslash.
    static constexpr auto plainInString = [] {
        std::array<bool, 256> plain{};
        for (int c = 0x20; c < 0x7f; ++c)
            plain[std::size_t(c)] = c != '"' && c != '\\';
        return plain;
    }();

    void space() {
        // JSON's white space lies below '!', as no token's first character does: one comparison
        // passes the usual case, which is a token right away.
        while (m_at != m_end && static_cast<unsigned char>(*m_at) <= ' ' &&
               (*m_at == ' ' || *m_at == '\t' || *m_at == '\n' || *m_at == '\r'))
            ++m_at;
    }
    bool take(char c) {
        space();
        if (m_at == m_end || *m_at != c)
            return false;
        ++m_at;
        return true;
    }
    char next() {
        space();
        return m_at == m_end ? '\0' : *m_at;
    }
    bool word(std::string_view w) {
        space();
        if (std::size_t(m_end - m_at) < w.size() || std::string_view(m_at, w.size()) != w)
            return false;
        m_at += w.size();
        return true;
    }
    bool string(std::string_view& out) {
        if (!take('"'))
            return false;
        const char* start = m_at;
        while (m_at != m_end && plainInString[static_cast<unsigned char>(*m_at)])
            ++m_at;
        if (m_at == m_end || *m_at != '"')
            return false;
        out = std::string_view(start, std::size_t(m_at - start));
        ++m_at;
        return true;
    }
    bool integer(qint64& out) {
        space();
        const bool negative = m_at != m_end && *m_at == '-';
        if (negative)
            ++m_at;
        const char* digits = m_at;
        while (m_at != m_end && *m_at >= '0' && *m_at <= '9')
            ++m_at;
        const std::size_t count = std::size_t(m_at - digits);
        // No fraction or exponent, no leading zero, and short enough that it cannot overflow.
        if (count == 0 || count > 18 || (count > 1 && *digits == '0'))
            return false;
        if (m_at != m_end && (*m_at == '.' || *m_at == 'e' || *m_at == 'E'))
            return false;
        qint64 value = 0;
        for (const char* d = digits; d != m_at; ++d)
            value = value * 10 + (*d - '0');
        out = negative ? -value : value;
        return true;
    }
    template <class Member> bool object(Member&& member) {
        if (!take('{'))
            return false;
        if (take('}'))
            return true;
        do {
            std::string_view key;
            if (!string(key) || !take(':') || !member(key))
                return false;
        } while (take(','));
        return take('}');
    }
    template <class T, class Read> bool nullable(std::optional<T>& out, Read&& read) {
        if (word("null")) {
            out.reset();
            return true;
        }
        T value{};
        if (!read(value))
            return false;
        out = std::move(value);
        return true;
    }
    bool nullableString(std::optional<QString>& out) {
        return nullable(out, [&](QString& text) {
            std::string_view bytes;
            if (!string(bytes))
                return false;
            text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
            return true;
        });
    }
    // A piece's text, left where it lies: printable ASCII only, as string() takes it.
    bool pieceText(UpstreamDelta& delta) {
        delta.content.reset();
        if (word("null")) {
            delta.plainContent.reset();
            return true;
        }
        std::string_view bytes;
        if (!string(bytes))
            return false;
        delta.plainContent = bytes;
        return true;
    }
    bool choiceList(std::vector<UpstreamChoice>& choices) {
        if (!take('['))
            return false;
        if (take(']'))
            return true;
        do {
            UpstreamChoice& choice = choices.emplace_back();
            const bool read = object([&](std::string_view key) {
                if (key == "delta")
                    return nullable(choice.delta, [&](UpstreamDelta& delta) {
                        return object([&](std::string_view k) { return k == "content" ? pieceText(delta) : skip(0); });
                    });
                if (key == "finish_reason")
                    return nullableString(choice.finish_reason);
                return skip(0);
            });
            if (!read)
                return false;
        } while (take(','));
        return take(']');
    }
    bool usage(UpstreamUsage& usage) {
        bool prompt = false;
        bool completion = false;
        const bool read = object([&](std::string_view key) {
            if (key == "prompt_tokens")
                return prompt = integer(usage.prompt_tokens);
            if (key == "completion_tokens")
                return completion = integer(usage.completion_tokens);
            return skip(0);
        });
        return read && prompt && completion;
    }
    bool skip(int depth) {
        if (depth >= maxDepth)
            return false;
        switch (next()) {
        case '"': {
            std::string_view ignored;
            return string(ignored);
        }
        case '{':
            return object([&](std::string_view) { return skip(depth + 1); });
        case '[':
            if (!take('['))
                return false;
            if (take(']'))
                return true;
            do {
                if (!skip(depth + 1))
                    return false;
            } while (take(','));
            return take(']');
        case 't':
            return word("true");
        case 'f':
            return word("false");
        case 'n':
            return word("null");
        default: {
            qint64 ignored;
            return integer(ignored);
        }
        }
    }

    const char* m_at;
    const char* m_end;
    std::vector<UpstreamChoice> m_choices; // room taken over from the last event
};

} // namespace

bool readPlainChunk(std::string_view event, UpstreamChunk& into) { return PlainReader(event).chunk(into); }

std::expected<void, DecodeError> decodeUpstreamChunk(std::string_view event, UpstreamChunk& into) {
    if (readPlainChunk(event, into))
        return {};
    auto strict = decodeJson<UpstreamChunk>(QByteArrayView(event.data(), qsizetype(event.size())));
    if (!strict)
        return std::unexpected(std::move(strict.error()));
    into = std::move(*strict);
    return {};
}

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
