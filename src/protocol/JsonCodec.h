#pragma once

// The JSON mapping of the admin API's records. Each record declares its fields once, in a
// static `fields()` table of `required(...)` and `optional(...)` entries; the generic functions
// here walk that table to decode (strictly), encode, compare and hash. Adding a field to a record
// is one line in its table.

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include "protocol/JsonReader.h"

#include <array>
#include <concepts>
#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tavrin {

// ---- field tables -------------------------------------------------------------------------

template <class R, class T, bool Required> struct Field {
    const char* name;
    T R::*member;
};

// What a field's JSON value decodes to: the member's type, or V for an optional field holding
// std::optional<V>.
template <class T, bool Required> struct FieldValue {
    using type = T;
};
template <class T> struct FieldValue<T, false> {
    using type = typename T::value_type;
};

template <class R, class T> constexpr Field<R, T, true> required(const char* name, T R::*member) {
    return {name, member};
}

template <class R, class T>
constexpr Field<R, std::optional<T>, false> optional(const char* name, std::optional<T> R::*member) {
    return {name, member};
}

template <class R>
concept Record = requires {
    R::fields();
};

// ---- string enumerations --------------------------------------------------------------------

// Specialise with `static constexpr std::array<std::pair<E, std::string_view>, N> cases`, in
// declaration order; the strings are the raw JSON values.
template <class E> struct EnumCases;

template <class E>
concept StringEnum = std::is_enum_v<E> && requires {
    EnumCases<E>::cases;
};

template <StringEnum E> constexpr auto allCases() {
    std::array<E, EnumCases<E>::cases.size()> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = EnumCases<E>::cases[i].first;
    return out;
}

template <StringEnum E> QString rawValue(E value) {
    for (const auto& [c, raw] : EnumCases<E>::cases)
        if (c == value)
            return QString::fromLatin1(raw.data(), qsizetype(raw.size()));
    return {};
}

// Case-sensitive: "Audit" is not "audit".
template <StringEnum E> std::optional<E> enumFromRawValue(QStringView raw) {
    for (const auto& [c, name] : EnumCases<E>::cases)
        if (raw == QLatin1StringView(name.data(), qsizetype(name.size())))
            return c;
    return std::nullopt;
}

// ---- decoding -------------------------------------------------------------------------------
//
// Decoding reads the bytes once, straight into the records: no intermediate document is built,
// which halves the cost of a large key list. The reader (JsonReader.h) checks the whole text against
// the JSON grammar (values of unknown keys included); the codecs check the values against the field
// types.

namespace json {

// Codec<T> reads one value of type T at the reader's position (read) and writes one (encode).
// Every value is read by the reader itself; there is no way around it through another parser,
// whose idea of a lone surrogate or a duplicate key would differ.
template <class T> struct Codec;

template <class T> bool readValue(Reader& r, const Path& p, T& out);

template <> struct Codec<QString> {
    static bool read(Reader& r, const Path& p, QString& out) {
        return r.peek() == Reader::Kind::String ? r.readString(out) : r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "string"));
    }
    static QJsonValue encode(const QString& s) { return s; }
};

template <> struct Codec<bool> {
    static bool read(Reader& r, const Path& p, bool& out) {
        return r.peek() == Reader::Kind::Bool ? r.readBool(out) : r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "bool"));
    }
    static QJsonValue encode(bool b) { return b; }
};

template <> struct Codec<qint64> {
    static bool read(Reader& r, const Path& p, qint64& out) {
        return r.peek() == Reader::Kind::Number ? r.readInteger(p, out) : r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "integer"));
    }
    static QJsonValue encode(qint64 n) { return n; }
};

template <> struct Codec<double> {
    static bool read(Reader& r, const Path& p, double& out) {
        return r.peek() == Reader::Kind::Number ? r.readDouble(p, out) : r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "number"));
    }
    static QJsonValue encode(double d) { return d; }
};

template <> struct Codec<float> {
    static bool read(Reader& r, const Path& p, float& out);
    static QJsonValue encode(float f) { return double(f); }
};

template <StringEnum E> struct Codec<E> {
    static bool read(Reader& r, const Path& p, E& out) {
        QString raw;
        if (!Codec<QString>::read(r, p, raw))
            return false;
        if (auto e = enumFromRawValue<E>(raw)) {
            out = *e;
            return true;
        }
        return r.fail(failure(p, QCoreApplication::translate("JsonReader", "unknown value \"%1\"").arg(raw)));
    }
    static QJsonValue encode(E e) { return rawValue(e); }
};

template <class T> struct Codec<std::vector<T>> {
    static bool read(Reader& r, const Path& p, std::vector<T>& out) {
        if (r.peek() != Reader::Kind::Array)
            return r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "array"));
        out.clear();
        bool done = false;
        if (!r.enterArray())
            return false;
        for (qsizetype i = 0;; ++i) {
            if (!r.nextElement(done))
                return false;
            if (done)
                return true;
            const Path element{&p, nullptr, i};
            if (r.peek() == Reader::Kind::Null)
                return r.fail(failure(element, QCoreApplication::translate("JsonReader", "null is not allowed here")));
            T item{};
            if (!readValue(r, element, item))
                return false;
            out.push_back(std::move(item));
        }
    }
    static QJsonValue encode(const std::vector<T>& items) {
        QJsonArray array;
        for (const auto& item : items)
            array.append(Codec<T>::encode(item));
        return array;
    }
};

template <class T> struct Codec<QMap<QString, T>> {
    static bool read(Reader& r, const Path& p, QMap<QString, T>& out) {
        if (r.peek() != Reader::Kind::Object)
            return r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "object"));
        out.clear();
        std::string key;
        bool done = false;
        if (!r.enterObject())
            return false;
        for (;;) {
            if (!r.nextMember(key, done))
                return false;
            if (done)
                return true;
            const Path member{&p, key.c_str(), -1};
            if (r.peek() == Reader::Kind::Null)
                return r.fail(failure(member, QCoreApplication::translate("JsonReader", "null is not allowed here")));
            T value{};
            if (!readValue(r, member, value))
                return false;
            out.insert(QString::fromStdString(key), std::move(value));
        }
    }
    static QJsonValue encode(const QMap<QString, T>& map) {
        QJsonObject object;
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), Codec<T>::encode(it.value()));
        return object;
    }
};

template <Record R> struct Codec<R> {
    static constexpr std::size_t fieldCount = std::tuple_size_v<decltype(R::fields())>;

    static bool read(Reader& r, const Path& p, R& record) {
        if (r.peek() != Reader::Kind::Object)
            return r.wrongType(p, QT_TRANSLATE_NOOP("JsonReader", "object"));
        std::array<bool, fieldCount> seen{};
        std::string key;
        bool done = false;
        if (!r.enterObject())
            return false;
        for (;;) {
            if (!r.nextMember(key, done))
                return false;
            if (done)
                break;
            bool known = false;
            bool good = true;
            std::size_t index = 0;
            std::apply(
                [&](const auto&... field) {
                    (void)((!known && key == field.name ? (known = true, seen[index] = true,
                                                           good = readField(r, p, record, field), index++)
                                                        : index++),
                           ...);
                },
                R::fields());
            if (!good)
                return false;
            if (!known && !r.skipValue())
                return false;
        }
        // Missing keys are reported in the order the record lists its fields.
        std::size_t index = 0;
        std::optional<DecodeError> missing;
        std::apply(
            [&](const auto&... field) {
                (void)((!missing && isRequired(field) && !seen[index]
                            ? (missing =
                                   failure(Path{&p, field.name, -1}, QCoreApplication::translate("JsonReader", "missing required key")),
                               index++)
                            : index++),
                       ...);
            },
            R::fields());
        return missing ? r.fail(std::move(*missing)) : true;
    }

    static QJsonValue encode(const R& record) {
        QJsonObject object;
        std::apply([&](const auto&... field) { (encodeField(object, record, field), ...); }, R::fields());
        return object;
    }

private:
    template <class T, bool Required> static constexpr bool isRequired(const Field<R, T, Required>&) {
        return Required;
    }

    template <class T, bool Required>
    static bool readField(Reader& r, const Path& parent, R& record, const Field<R, T, Required>& field) {
        const Path path{&parent, field.name, -1};
        if (r.peek() == Reader::Kind::Null) {
            if constexpr (Required) {
                return r.fail(failure(path, QCoreApplication::translate("JsonReader", "null in a required field")));
            } else {
                record.*field.member = std::nullopt;
                return r.readNull();
            }
        }
        using Value = typename FieldValue<T, Required>::type;
        Value value{};
        if (!readValue(r, path, value))
            return false;
        record.*field.member = std::move(value);
        return true;
    }

    template <class T, bool Required>
    static void encodeField(QJsonObject& object, const R& record, const Field<R, T, Required>& field) {
        const auto& value = record.*field.member;
        if constexpr (Required) {
            object.insert(QLatin1StringView(field.name), Codec<T>::encode(value));
        } else if (value) {
            object.insert(QLatin1StringView(field.name), Codec<typename T::value_type>::encode(*value));
        }
    }
};

template <class T> bool readValue(Reader& r, const Path& p, T& out) {
    return Codec<T>::read(r, p, out);
}

} // namespace json

// What failure paths call a whole document of type T ("keys[3].scopes[0]"); nothing by default.
// A document type that wants a name gives it where it is declared, by specialising this.
template <class T> struct DocumentName { static constexpr const char* value = nullptr; };

// Decodes a whole response.
template <class T> Decoded<T> decodeJson(QByteArrayView bytes) {
    json::Reader reader(bytes);
    if (reader.peek() == json::Reader::Kind::End)
        return std::unexpected(DecodeError{{}, QCoreApplication::translate("JsonReader", "empty document")});
    const json::Path path{nullptr, DocumentName<T>::value, -1};
    T value{};
    if (json::readValue(reader, path, value) && reader.atEnd())
        return value;
    return std::unexpected(reader.error());
}

// Compact JSON; optional fields without a value are left out, never written as null.
QByteArray compactJson(const QJsonValue& value);

template <class T> QByteArray encodeJson(const T& value) {
    return compactJson(json::Codec<T>::encode(value));
}

// compactJson's spelling of a string (quotes and all) and of numbers, appended, for a document
// made so often that building a QJsonDocument for each would cost more than the rest of the work
// around it: a streamed answer's events, an audit record. Writers made of these are held against
// encodeJson by their tests.
void appendJsonString(std::string& out, QStringView text);
void appendJsonNumber(std::string& out, qint64 value);
void appendJsonNumber(std::string& out, double value);

// An object of such a document, member by member. Its writer names the members in the order
// compactJson puts them (by name); an optional value that is absent leaves its member out.
class JsonObjectWriter {
public:
    explicit JsonObjectWriter(std::string& out) : m_out(out) {}
    // The member's name: its value is appended next, by the caller.
    std::string& member(std::string_view name);
    void string(std::string_view name, QStringView value) { appendJsonString(member(name), value); }
    void string(std::string_view name, const QString& value) { string(name, QStringView(value)); }
    void number(std::string_view name, qint64 value) { appendJsonNumber(member(name), value); }
    void number(std::string_view name, double value) { appendJsonNumber(member(name), value); }
    void string(std::string_view name, const std::optional<QString>& value) {
        if (value)
            string(name, *value);
    }
    template <class T> void number(std::string_view name, const std::optional<T>& value) {
        if (value)
            number(name, *value);
    }
    void end() { m_out += m_empty ? "{}" : "}"; }

private:
    std::string& m_out;
    bool m_empty = true;
};

// ---- equality and hashing ------------------------------------------------------------------

template <Record R> bool operator==(const R& a, const R& b) {
    return std::apply([&](const auto&... field) { return ((a.*field.member == b.*field.member) && ...); },
                      R::fields());
}

namespace json {

inline void hashCombine(std::size_t& seed, std::size_t h) {
    seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

// Hashes are class templates rather than overloads so that nested containers of records find
// each other regardless of declaration order.
template <class T> struct Hasher {
    static std::size_t of(const T& value) {
        if constexpr (Record<T>) {
            std::size_t seed = 0;
            std::apply(
                [&](const auto&... field) {
                    (hashCombine(seed, Hasher<std::remove_cvref_t<decltype(value.*field.member)>>::of(
                                           value.*field.member)),
                     ...);
                },
                T::fields());
            return seed;
        } else if constexpr (std::is_same_v<T, QString>) {
            return qHash(value);
        } else if constexpr (std::is_enum_v<T>) {
            return std::hash<std::underlying_type_t<T>>{}(std::to_underlying(value));
        } else {
            return std::hash<T>{}(value);
        }
    }
};

template <class T> struct Hasher<std::optional<T>> {
    static std::size_t of(const std::optional<T>& value) {
        return value ? Hasher<T>::of(*value) ^ 0x5bd1e995u : 0;
    }
};

template <class T> struct Hasher<std::vector<T>> {
    static std::size_t of(const std::vector<T>& values) {
        std::size_t seed = values.size();
        for (const auto& v : values)
            hashCombine(seed, Hasher<T>::of(v));
        return seed;
    }
};

template <class T> struct Hasher<QMap<QString, T>> {
    static std::size_t of(const QMap<QString, T>& map) {
        std::size_t seed = std::size_t(map.size());
        for (auto it = map.begin(); it != map.end(); ++it) {
            hashCombine(seed, qHash(it.key()));
            hashCombine(seed, Hasher<T>::of(it.value()));
        }
        return seed;
    }
};

template <class T> std::size_t hashOf(const T& value) {
    return Hasher<T>::of(value);
}

} // namespace json

template <Record R> std::size_t qHash(const R& record, std::size_t seed = 0) {
    return json::hashOf(record) ^ seed;
}

} // namespace tavrin

template <tavrin::Record R> struct std::hash<R> {
    std::size_t operator()(const R& record) const { return tavrin::json::hashOf(record); }
};
