#include "protocol/JsonReader.h"

#include <QCoreApplication>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tavrin::json {

namespace {

// Deep enough for any admin document, shallow enough that a hostile one cannot exhaust the stack.
constexpr int kMaxDepth = 256;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the UTF-8 sequence starting at `p` (1..4), or 0 when it is not well formed (overlong
// forms, surrogates and code points above U+10FFFF included).
int utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = p[0];
    auto cont = [&](int i) { return p + i < end && (p[i] & 0xC0) == 0x80; };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2))
            return 0;
        if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0))
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3))
            return 0;
        if ((c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] >= 0x90))
            return 0;
        return 4;
    }
    return 0;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QString Path::render() const {
    std::vector<const Path*> chain;
    for (const Path* p = this; p; p = p->parent)
        chain.push_back(p);
    QString out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Path* p = *it;
        if (p->index >= 0) {
            out += QLatin1Char('[') + QString::number(p->index) + QLatin1Char(']');
        } else if (p->key) {
            if (!out.isEmpty())
                out += QLatin1Char('.');
            out += QString::fromUtf8(p->key);
        }
    }
    return out;
}

DecodeError failure(const Path& path, QString reason) {
    return DecodeError{path.render(), std::move(reason)};
}

// ---- Reader ---------------------------------------------------------------------------------

Reader::Reader(QByteArrayView bytes)
    : m_begin(bytes.data()), m_cursor(bytes.data()), m_end(bytes.data() + bytes.size()) {}

const char* Reader::kindName(Kind kind) {
    switch (kind) {
    case Kind::Null:
        return QT_TRANSLATE_NOOP("JsonReader", "null");
    case Kind::Bool:
        return QT_TRANSLATE_NOOP("JsonReader", "bool");
    case Kind::Number:
        return QT_TRANSLATE_NOOP("JsonReader", "number");
    case Kind::String:
        return QT_TRANSLATE_NOOP("JsonReader", "string");
    case Kind::Array:
        return QT_TRANSLATE_NOOP("JsonReader", "array");
    case Kind::Object:
        return QT_TRANSLATE_NOOP("JsonReader", "object");
    case Kind::End:
        return QT_TRANSLATE_NOOP("JsonReader", "nothing");
    case Kind::Invalid:
        break;
    }
    return QT_TRANSLATE_NOOP("JsonReader", "invalid JSON");
}

Reader::Kind Reader::peek() {
    while (m_cursor < m_end &&
           (*m_cursor == ' ' || *m_cursor == '\n' || *m_cursor == '\r' || *m_cursor == '\t'))
        ++m_cursor;
    if (m_cursor == m_end)
        return Kind::End;
    switch (*m_cursor) {
    case 'n':
        return Kind::Null;
    case 't':
    case 'f':
        return Kind::Bool;
    case '"':
        return Kind::String;
    case '[':
        return Kind::Array;
    case '{':
        return Kind::Object;
    default:
        return *m_cursor == '-' || isDigit(*m_cursor) ? Kind::Number : Kind::Invalid;
    }
}

bool Reader::fail(DecodeError error) {
    if (!m_error)
        m_error = std::move(error);
    return false;
}

bool Reader::syntaxError(const char* reason) {
    return fail(DecodeError{
        {}, QCoreApplication::translate("JsonReader", "not valid JSON (%1 at offset %2)")
                .arg(QCoreApplication::translate("JsonReader", reason))
                .arg(offset())});
}

bool Reader::wrongType(const Path& path, const char* expected) {
    const Kind kind = peek();
    if (kind == Kind::Invalid)
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unexpected character"));
    if (kind == Kind::End)
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unexpected end"));
    //: %1 and %2 are kinds of JSON value ("string", "number", "object").
    return fail(failure(path, QCoreApplication::translate("JsonReader", "expected %1, found %2")
                                  .arg(QCoreApplication::translate("JsonReader", expected),
                                       QCoreApplication::translate("JsonReader", kindName(kind)))));
}

bool Reader::expect(char c, const char* reason) {
    peek();
    if (m_cursor < m_end && *m_cursor == c) {
        ++m_cursor;
        return true;
    }
    return syntaxError(reason);
}

bool Reader::readNull() {
    if (m_end - m_cursor >= 4 && QByteArrayView(m_cursor, 4) == "null") {
        m_cursor += 4;
        return true;
    }
    return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid literal"));
}

bool Reader::readBool(bool& out) {
    if (m_end - m_cursor >= 4 && QByteArrayView(m_cursor, 4) == "true") {
        m_cursor += 4;
        out = true;
        return true;
    }
    if (m_end - m_cursor >= 5 && QByteArrayView(m_cursor, 5) == "false") {
        m_cursor += 5;
        out = false;
        return true;
    }
    return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid literal"));
}

bool Reader::readStringBytes(std::string* unescaped, QString* text) {
    ++m_cursor; // opening quote
    const char* start = m_cursor;
    bool ascii = true;
    bool escaped = false;
    // Fast scan: most strings are plain ASCII without escapes.
    while (m_cursor < m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_cursor);
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80)
            break;
        ++m_cursor;
    }
    std::string buffer;
    if (m_cursor < m_end && *m_cursor == '"') {
        if (text)
            *text = QString::fromLatin1(start, m_cursor - start);
        if (unescaped)
            unescaped->assign(start, m_cursor);
        ++m_cursor;
        return true;
    }
    buffer.assign(start, m_cursor);
    while (m_cursor < m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_cursor);
        if (c == '"') {
            ++m_cursor;
            if (unescaped)
                *unescaped = buffer;
            if (text)
                *text = ascii && !escaped ? QString::fromLatin1(buffer.data(), qsizetype(buffer.size()))
                                          : QString::fromUtf8(buffer.data(), qsizetype(buffer.size()));
            return true;
        }
        if (c < 0x20)
            return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "control character in a string"));
        if (c == '\\') {
            escaped = true;
            if (m_end - m_cursor < 2)
                return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unterminated string"));
            const char e = m_cursor[1];
            m_cursor += 2;
            switch (e) {
            case '"':
                buffer += '"';
                break;
            case '\\':
                buffer += '\\';
                break;
            case '/':
                buffer += '/';
                break;
            case 'b':
                buffer += '\b';
                break;
            case 'f':
                buffer += '\f';
                break;
            case 'n':
                buffer += '\n';
                break;
            case 'r':
                buffer += '\r';
                break;
            case 't':
                buffer += '\t';
                break;
            case 'u': {
                auto hex4 = [&](char32_t& unit) {
                    if (m_end - m_cursor < 4)
                        return false;
                    unit = 0;
                    for (int i = 0; i < 4; ++i) {
                        const int v = hexValue(m_cursor[i]);
                        if (v < 0)
                            return false;
                        unit = unit * 16 + char32_t(v);
                    }
                    m_cursor += 4;
                    return true;
                };
                char32_t unit = 0;
                if (!hex4(unit))
                    return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid \\u escape"));
                if (unit >= 0xD800 && unit <= 0xDBFF && m_end - m_cursor >= 6 && m_cursor[0] == '\\' &&
                    m_cursor[1] == 'u') {
                    const char* save = m_cursor;
                    m_cursor += 2;
                    char32_t low = 0;
                    if (hex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
                        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    } else {
                        m_cursor = save;
                    }
                }
                // A lone surrogate cannot be carried in UTF-8: it becomes U+FFFD.
                if (unit >= 0xD800 && unit <= 0xDFFF)
                    unit = 0xFFFD;
                ascii = ascii && unit < 0x80;
                appendUtf8(buffer, unit);
                break;
            }
            default:
                return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid escape"));
            }
            continue;
        }
        if (c >= 0x80) {
            const int n = utf8SequenceLength(reinterpret_cast<const unsigned char*>(m_cursor),
                                             reinterpret_cast<const unsigned char*>(m_end));
            if (n == 0)
                return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid UTF-8 in a string"));
            ascii = false;
            buffer.append(m_cursor, std::size_t(n));
            m_cursor += n;
            continue;
        }
        buffer += char(c);
        ++m_cursor;
    }
    return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unterminated string"));
}

bool Reader::readString(QString& out) {
    return readStringBytes(nullptr, &out);
}

bool Reader::readNumberText(QByteArrayView& text, bool& integral) {
    const char* start = m_cursor;
    integral = true;
    if (m_cursor < m_end && *m_cursor == '-')
        ++m_cursor;
    if (m_cursor == m_end || !isDigit(*m_cursor))
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid number"));
    if (*m_cursor == '0') {
        ++m_cursor;
    } else {
        while (m_cursor < m_end && isDigit(*m_cursor))
            ++m_cursor;
    }
    if (m_cursor < m_end && *m_cursor == '.') {
        integral = false;
        ++m_cursor;
        if (m_cursor == m_end || !isDigit(*m_cursor))
            return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid number"));
        while (m_cursor < m_end && isDigit(*m_cursor))
            ++m_cursor;
    }
    if (m_cursor < m_end && (*m_cursor == 'e' || *m_cursor == 'E')) {
        integral = false;
        ++m_cursor;
        if (m_cursor < m_end && (*m_cursor == '+' || *m_cursor == '-'))
            ++m_cursor;
        if (m_cursor == m_end || !isDigit(*m_cursor))
            return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "invalid number"));
        while (m_cursor < m_end && isDigit(*m_cursor))
            ++m_cursor;
    }
    text = QByteArrayView(start, m_cursor - start);
    return true;
}

namespace {

// The value of a JSON number text as a double; infinite when it is beyond the double range.
double toDouble(QByteArrayView text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow; strtod tells them apart.
        const std::string copy(text.data(), std::size_t(text.size()));
        return std::strtod(copy.c_str(), nullptr);
    }
    return value;
}

} // namespace

bool Reader::readInteger(const Path& path, qint64& out) {
    QByteArrayView text;
    bool integral = false;
    if (!readNumberText(text, integral))
        return false;
    if (integral) {
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
        if (ec == std::errc())
            return true;
        return fail(failure(path, QCoreApplication::translate("JsonReader", "number does not fit a 64-bit integer")));
    }
    const double d = toDouble(text);
    if (std::isfinite(d) && std::trunc(d) != d)
        return fail(failure(path, QCoreApplication::translate("JsonReader", "expected an integer, found %1").arg(d)));
    // 2^63 is exactly representable as a double and is the first value that does not fit.
    if (!std::isfinite(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
        return fail(failure(path, QCoreApplication::translate("JsonReader", "number does not fit a 64-bit integer")));
    out = qint64(d);
    return true;
}

bool Reader::readDouble(const Path& path, double& out) {
    QByteArrayView text;
    bool integral = false;
    if (!readNumberText(text, integral))
        return false;
    out = toDouble(text);
    if (!std::isfinite(out))
        return fail(failure(path, QCoreApplication::translate("JsonReader", "number does not fit a 64-bit float")));
    return true;
}

bool Reader::enterObject() {
    ++m_cursor; // '{'
    if (m_firstItem.size() >= std::size_t(kMaxDepth))
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "nesting too deep"));
    m_firstItem.push_back(true);
    return true;
}

bool Reader::nextMember(std::string& key, bool& done) {
    done = false;
    const Kind kind = peek();
    if (m_cursor < m_end && *m_cursor == '}') {
        ++m_cursor;
        m_firstItem.pop_back();
        done = true;
        return true;
    }
    if (!m_firstItem.back()) {
        if (!expect(',', QT_TRANSLATE_NOOP("JsonReader", "expected , or } in an object")))
            return false;
        if (peek() != Kind::String)
            return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "expected a key"));
    } else if (kind != Kind::String) {
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "expected a key"));
    }
    m_firstItem.back() = false;
    if (!readStringBytes(&key, nullptr))
        return false;
    return expect(':', QT_TRANSLATE_NOOP("JsonReader", "expected :"));
}

bool Reader::enterArray() {
    ++m_cursor; // '['
    if (m_firstItem.size() >= std::size_t(kMaxDepth))
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "nesting too deep"));
    m_firstItem.push_back(true);
    return true;
}

bool Reader::nextElement(bool& done) {
    done = false;
    peek();
    if (m_cursor < m_end && *m_cursor == ']') {
        ++m_cursor;
        m_firstItem.pop_back();
        done = true;
        return true;
    }
    if (!m_firstItem.back() && !expect(',', QT_TRANSLATE_NOOP("JsonReader", "expected , or ] in an array")))
        return false;
    m_firstItem.back() = false;
    return true;
}

bool Reader::skipValue() {
    return skip(int(m_firstItem.size()));
}

bool Reader::skip(int depth) {
    if (depth >= kMaxDepth)
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "nesting too deep"));
    switch (peek()) {
    case Kind::Null:
        return readNull();
    case Kind::Bool: {
        bool ignored = false;
        return readBool(ignored);
    }
    case Kind::Number: {
        QByteArrayView ignored;
        bool integral = false;
        return readNumberText(ignored, integral);
    }
    case Kind::String:
        return readStringBytes(nullptr, nullptr);
    case Kind::Array: {
        bool done = false;
        if (!enterArray())
            return false;
        for (;;) {
            if (!nextElement(done))
                return false;
            if (done)
                return true;
            if (!skip(depth + 1))
                return false;
        }
    }
    case Kind::Object: {
        std::string key;
        bool done = false;
        if (!enterObject())
            return false;
        for (;;) {
            if (!nextMember(key, done))
                return false;
            if (done)
                return true;
            if (!skip(depth + 1))
                return false;
        }
    }
    case Kind::End:
        return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unexpected end"));
    case Kind::Invalid:
        break;
    }
    return syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unexpected character"));
}

bool Reader::atEnd() {
    if (!ok())
        return false;
    return peek() == Kind::End || syntaxError(QT_TRANSLATE_NOOP("JsonReader", "unexpected text after the document"));
}

} // namespace tavrin::json
