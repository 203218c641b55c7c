#pragma once

// The strict JSON reader every document the panel and the server read goes through: one pass over
// the bytes, the whole text checked against the JSON grammar, a failure named by its path. It knows
// nothing of records; JsonCodec.h maps them onto it.

#include <QByteArrayView>
#include <QString>

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// Where a document failed to decode ("model.pinState.previous[1].alias") and why.
struct DecodeError {
    QString path;
    QString reason;

    QString message() const { return path.isEmpty() ? reason : path + QStringLiteral(": ") + reason; }
    bool operator==(const DecodeError&) const = default;
};

template <class T> using Decoded = std::expected<T, DecodeError>;

namespace json {

// A path into the document, built on the stack while decoding and only rendered to text when a
// failure needs it, so a good document costs no string work.
struct Path {
    const Path* parent = nullptr;
    const char* key = nullptr; // set for an object member
    qsizetype index = -1;      // set for an array element

    QString render() const;
};

DecodeError failure(const Path& path, QString reason);

// A strict, single-pass JSON reader. Every read either consumes a whole value or records why not;
// after the first failure every call returns false.
class Reader {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object, End, Invalid };

    explicit Reader(QByteArrayView bytes);

    Kind peek(); // skips white space first
    static const char* kindName(Kind kind);

    bool ok() const { return !m_error; }
    const DecodeError& error() const { return *m_error; }
    bool fail(DecodeError error);
    bool wrongType(const Path& path, const char* expected);
    bool syntaxError(const char* reason);

    bool readNull();
    bool readBool(bool& out);
    bool readString(QString& out);
    bool readInteger(const Path& path, qint64& out);
    bool readDouble(const Path& path, double& out);

    // Objects: enterObject(), then nextMember() until it sets `done`; the key is UTF-8, unescaped.
    bool enterObject();
    bool nextMember(std::string& key, bool& done);
    bool enterArray();
    bool nextElement(bool& done);

    bool skipValue();
    bool atEnd();

private:
    bool readStringBytes(std::string* unescaped, QString* text);
    bool readNumberText(QByteArrayView& text, bool& integral);
    bool skip(int depth);
    bool expect(char c, const char* reason);
    qsizetype offset() const { return m_cursor - m_begin; }

    const char* m_begin;
    const char* m_cursor;
    const char* m_end;
    std::optional<DecodeError> m_error;
    std::vector<bool> m_firstItem; // per open container: no item read yet
};

} // namespace json

} // namespace tavrin
