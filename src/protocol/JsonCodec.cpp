#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <QLocale>

#include <cfloat>
#include <charconv>
#include <cmath>

namespace tavrin::json {

bool Codec<float>::read(Reader& r, const Path& p, float& out) {
    double d = 0;
    if (r.peek() != Reader::Kind::Number)
        return r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "number"));
    if (!r.readDouble(p, d))
        return false;
    if (std::fabs(d) > double(FLT_MAX))
        return r.fail(failure(p, QCoreApplication::translate("JsonReader", "number does not fit a 32-bit float")));
    out = float(d);
    return true;
}

} // namespace tavrin::json

namespace tavrin {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

char* writeUnicodeEscape(char* w, char16_t u) {
    *w++ = '\\';
    *w++ = 'u';
    *w++ = hexDigits[u >> 12];
    *w++ = hexDigits[(u >> 8) & 0xf];
    *w++ = hexDigits[(u >> 4) & 0xf];
    *w++ = hexDigits[u & 0xf];
    return w;
}

// One UTF-16 unit (two for a surrogate pair, the second taken from `at`) as the JSON writer
// spells it: UTF-8, with a quote, a backslash and the control characters escaped (the usual five
// by their letters), and a lone surrogate, which has no UTF-8, as its escape. Six bytes at most.
char* writeJsonUnit(char* w, char16_t u, const char16_t*& at, const char16_t* end) {
    if (u >= 0x20 && u < 0x80 && u != u'"' && u != u'\\') {
        *w++ = char(u);
    } else if (u < 0x80) {
        const char* named = u == u'"' ? "\"" : u == u'\\' ? "\\" : u == u'\b' ? "b" : u == u'\f' ? "f" : u == u'\n' ? "n"
                          : u == u'\r' ? "r" : u == u'\t' ? "t" : nullptr;
        if (!named)
            return writeUnicodeEscape(w, u);
        *w++ = '\\';
        *w++ = *named;
    } else if (u < 0x800) {
        *w++ = char(0xc0 | (u >> 6));
        *w++ = char(0x80 | (u & 0x3f));
    } else if (QChar::isHighSurrogate(u) && at != end && QChar::isLowSurrogate(*at)) {
        const char32_t c = QChar::surrogateToUcs4(u, *at++);
        *w++ = char(0xf0 | (c >> 18));
        *w++ = char(0x80 | ((c >> 12) & 0x3f));
        *w++ = char(0x80 | ((c >> 6) & 0x3f));
        *w++ = char(0x80 | (c & 0x3f));
    } else if (QChar::isSurrogate(u)) {
        return writeUnicodeEscape(w, u);
    } else {
        *w++ = char(0xe0 | (u >> 12));
        *w++ = char(0x80 | ((u >> 6) & 0x3f));
        *w++ = char(0x80 | (u & 0x3f));
    }
    return w;
}

} // namespace

void appendJsonString(std::string& out, QStringView text) {
    out += '"';
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    // A block at a time, with room for the longest spelling of each unit: no check per byte, and
    // no more room asked for than a few kilobytes however long the text.
    constexpr std::ptrdiff_t block = 1024;
    while (at < end) {
        const char16_t* const blockEnd = at + std::min(end - at, block);
        const std::size_t was = out.size();
        out.resize_and_overwrite(was + 6 * std::size_t(blockEnd - at), [&](char* buffer, std::size_t) {
            char* w = buffer + was;
            while (at < blockEnd) {
                const char16_t u = *at++;
                w = writeJsonUnit(w, u, at, end);
            }
            return std::size_t(w - buffer);
        });
    }
    out += '"';
}

void appendJsonNumber(std::string& out, qint64 value) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, written.ptr);
}

void appendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    const QByteArray digits = QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    out.append(digits.constData(), std::size_t(digits.size()));
}

std::string& JsonObjectWriter::member(std::string_view name) {
    m_out += m_empty ? '{' : ',';
    m_empty = false;
    m_out += '"';
    m_out += name;
    m_out += "\":";
    return m_out;
}

QByteArray compactJson(const QJsonValue& value) {
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

} // namespace tavrin
