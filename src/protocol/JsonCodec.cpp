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

void appendUnicodeEscape(std::string& out, char16_t u) {
    const char escape[] = {'\\', 'u', hexDigits[u >> 12], hexDigits[(u >> 8) & 0xf], hexDigits[(u >> 4) & 0xf], hexDigits[u & 0xf]};
    out.append(escape, sizeof escape);
}

// As the JSON writer spells a string: UTF-8, with a quote, a backslash and the control
// characters escaped (the usual five by their letters), and a lone surrogate, which has no UTF-8,
// as its escape.
} // namespace

void appendJsonString(std::string& out, QStringView text) {
    out.reserve(out.size() + std::size_t(text.size()) + 2);
    out += '"';
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    while (at != end) {
        const char16_t u = *at++;
        if (u >= 0x20 && u < 0x80 && u != u'"' && u != u'\\') {
            out += char(u);
        } else if (u < 0x80) {
            switch (u) {
            case u'"': out += "\\\""; break;
            case u'\\': out += "\\\\"; break;
            case u'\b': out += "\\b"; break;
            case u'\f': out += "\\f"; break;
            case u'\n': out += "\\n"; break;
            case u'\r': out += "\\r"; break;
            case u'\t': out += "\\t"; break;
            default: appendUnicodeEscape(out, u);
            }
        } else if (u < 0x800) {
            out += char(0xc0 | (u >> 6));
            out += char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && at != end && QChar::isLowSurrogate(*at)) {
            const char32_t c = QChar::surrogateToUcs4(u, *at++);
            out += char(0xf0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3f));
            out += char(0x80 | ((c >> 6) & 0x3f));
            out += char(0x80 | (c & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            appendUnicodeEscape(out, u);
        } else {
            out += char(0xe0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3f));
            out += char(0x80 | (u & 0x3f));
        }
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

QByteArray compactJson(const QJsonValue& value) {
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

} // namespace tavrin
