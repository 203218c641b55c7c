#include "server/engines/UpstreamRecords.h"

#include <QChar>

#include <array>
#include <string_view>
#include <utility>

namespace tavrin {

namespace {

// One JSON string's text from just after its opening quote, as the strict reader reads it: its
// escapes (a surrogate pair's as the one letter it makes) and UTF-8 in its shortest form. A lone
// surrogate, bytes that are not such UTF-8, a noncharacter or a raw control character it leaves to
// the strict reader (nullptr). With `to`, writes the text's UTF-16 there: one unit for every byte
// read is room enough. Returns the closing quote's place.
const char* readText(const char* from, const char* end, char16_t* to, qsizetype* written) {
    const auto* at = reinterpret_cast<const unsigned char*>(from);
    const auto* const stop = reinterpret_cast<const unsigned char*>(end);
    char16_t* const first = to;
    const auto put = [&](char32_t c) {
        if (!to)
            return;
        if (c > 0xffff) {
            *to++ = QChar::highSurrogate(c);
            *to++ = QChar::lowSurrogate(c);
        } else {
            *to++ = char16_t(c);
        }
    };
    const auto hex4 = [&](char32_t& unit) {
        if (stop - at < 4)
            return false;
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned char h = *at++;
            const int digit = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
            if (digit < 0)
                return false;
            unit = unit * 16 + char32_t(digit);
        }
        return true;
    };
    while (at != stop) {
        const unsigned char c = *at;
        if (c == '"') {
            if (written)
                *written = to - first;
            return reinterpret_cast<const char*>(at);
        }
        if (c < 0x20)
            return nullptr;
        if (c < 0x80 && c != '\\') {
            put(c);
            ++at;
            continue;
        }
        if (c == '\\') {
            if (++at == stop)
                return nullptr;
            const unsigned char e = *at++;
            static constexpr std::string_view named = "\"\\/bfnrt";
            static constexpr std::u16string_view meant = u"\"\\/\b\f\n\r\t";
            if (const auto n = named.find(char(e)); n != std::string_view::npos) {
                put(meant[n]);
                continue;
            }
            char32_t unit = 0;
            if (e != 'u' || !hex4(unit) || QChar::isLowSurrogate(unit))
                return nullptr;
            if (QChar::isHighSurrogate(unit)) {
                char32_t low = 0;
                if (stop - at < 2 || at[0] != '\\' || at[1] != 'u' || (at += 2, !hex4(low)) || !QChar::isLowSurrogate(low))
                    return nullptr;
                unit = QChar::surrogateToUcs4(char16_t(unit), char16_t(low));
            }
            put(unit);
            continue;
        }
        int follow = 0;
        char32_t letter = 0;
        char32_t least = 0;
        if (c >= 0xc2 && c <= 0xdf) {
            follow = 1, letter = c & 0x1f, least = 0x80;
        } else if (c >= 0xe0 && c <= 0xef) {
            follow = 2, letter = c & 0x0f, least = 0x800;
        } else if (c >= 0xf0 && c <= 0xf4) {
            follow = 3, letter = c & 0x07, least = 0x10000;
        } else {
            return nullptr;
        }
        if (stop - at <= follow)
            return nullptr;
        for (int i = 1; i <= follow; ++i) {
            if ((at[i] & 0xc0) != 0x80)
                return nullptr;
            letter = letter << 6 | (at[i] & 0x3f);
        }
        if (letter < least || letter > 0x10ffff || QChar::isSurrogate(letter) || QChar::isNonCharacter(letter))
            return nullptr;
        put(letter);
        at += follow + 1;
    }
    return nullptr;
}

// A reader for the usual JSON of an engine's events: strings with their escapes and UTF-8, whole
// numbers in int64's range, true, false, null, and objects and arrays of them, not deeply nested;
// names are plain ASCII without escapes. Whatever it does not know it gives up on (false), never
// guesses: the strict reader then reads the event again, and its result or its fault is the one
// that counts. What it accepts is valid JSON, read as the strict reader reads it: a later member of
// the same name wins, null empties an optional.
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
    // A piece's text: plain, left where it lies; else decoded.
    bool pieceText(UpstreamDelta& delta) {
        delta.content.reset();
        delta.plainContent.reset();
        if (word("null"))
            return true;
        if (next() != '"')
            return false;
        const char* start = m_at + 1;
        std::string_view bytes;
        if (string(bytes)) {
            delta.plainContent = bytes;
            return true;
        }
        const char* close = readText(start, m_end, nullptr, nullptr);
        if (!close)
            return false;
        QString text(close - start, Qt::Uninitialized);
        qsizetype written = 0;
        readText(start, m_end, reinterpret_cast<char16_t*>(text.data()), &written);
        text.truncate(written);
        delta.content = std::move(text);
        m_at = close + 1;
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
            const char* start = m_at + 1;
            std::string_view ignored;
            if (string(ignored))
                return true;
            const char* close = readText(start, m_end, nullptr, nullptr);
            if (!close)
                return false;
            m_at = close + 1;
            return true;
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
