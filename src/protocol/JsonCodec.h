#pragma once

// The JSON mapping of the admin API's records. Each record declares its fields once, in a
// static `fields()` table of `required(...)` and `optional(...)` entries; the generic functions
// here walk that table to decode (strictly), encode, compare and hash. Adding a field to a record
// is one line in its table.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include <array>
#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace tavrin {

// Where a document failed to decode ("model.pinState.previous[1].alias") and why.
struct DecodeError {
    QString path;
    QString reason;

    QString message() const { return path.isEmpty() ? reason : path + QStringLiteral(": ") + reason; }
    bool operator==(const DecodeError&) const = default;
};

template <class T>
using Decoded = std::expected<T, DecodeError>;

// ---- field tables -------------------------------------------------------------------------

template <class R, class T, bool Required>
struct Field {
    const char* name;
    T R::*member;
};

template <class R, class T>
constexpr Field<R, T, true> required(const char* name, T R::*member) {
    return {name, member};
}

template <class R, class T>
constexpr Field<R, std::optional<T>, false> optional(const char* name, std::optional<T> R::*member) {
    return {name, member};
}

template <class R>
concept Record = requires { R::fields(); };

// ---- string enumerations --------------------------------------------------------------------

// Specialise with `static constexpr std::array<std::pair<E, std::string_view>, N> cases`, in
// declaration order; the strings are the raw JSON values.
template <class E>
struct EnumCases;

template <class E>
concept StringEnum = std::is_enum_v<E> && requires { EnumCases<E>::cases; };

template <StringEnum E>
constexpr auto allCases() {
    std::array<E, EnumCases<E>::cases.size()> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = EnumCases<E>::cases[i].first;
    return out;
}

template <StringEnum E>
QString rawValue(E value) {
    for (const auto& [c, raw] : EnumCases<E>::cases)
        if (c == value)
            return QString::fromLatin1(raw.data(), qsizetype(raw.size()));
    return {};
}

// Case-sensitive: "Audit" is not "audit".
template <StringEnum E>
std::optional<E> enumFromRawValue(QStringView raw) {
    for (const auto& [c, name] : EnumCases<E>::cases)
        if (raw == QLatin1StringView(name.data(), qsizetype(name.size())))
            return c;
    return std::nullopt;
}

// ---- decoding -------------------------------------------------------------------------------

namespace json {

// A path into the document, built on the stack while decoding and only rendered to text when a
// failure needs it, so a good document costs no string work.
struct Path {
    const Path* parent = nullptr;
    const char* key = nullptr;   // set for an object member
    qsizetype index = -1;        // set for an array element

    QString render() const;
};

QString typeName(const QJsonValue& value);
DecodeError wrongType(const Path& path, const char* expected, const QJsonValue& found);
DecodeError failure(const Path& path, QString reason);

template <class T>
struct Codec;

template <>
struct Codec<QString> {
    static Decoded<QString> decode(const QJsonValue& v, const Path& p) {
        if (!v.isString())
            return std::unexpected(wrongType(p, "string", v));
        return v.toString();
    }
    static QJsonValue encode(const QString& s) { return s; }
};

template <>
struct Codec<bool> {
    static Decoded<bool> decode(const QJsonValue& v, const Path& p) {
        if (!v.isBool())
            return std::unexpected(wrongType(p, "bool", v));
        return v.toBool();
    }
    static QJsonValue encode(bool b) { return b; }
};

template <>
struct Codec<qint64> {
    static Decoded<qint64> decode(const QJsonValue& v, const Path& p);
    static QJsonValue encode(qint64 n) { return n; }
};

template <>
struct Codec<double> {
    static Decoded<double> decode(const QJsonValue& v, const Path& p);
    static QJsonValue encode(double d) { return d; }
};

template <>
struct Codec<float> {
    static Decoded<float> decode(const QJsonValue& v, const Path& p);
    static QJsonValue encode(float f) { return double(f); }
};

template <StringEnum E>
struct Codec<E> {
    static Decoded<E> decode(const QJsonValue& v, const Path& p) {
        if (!v.isString())
            return std::unexpected(wrongType(p, "string", v));
        const QString raw = v.toString();
        if (auto e = enumFromRawValue<E>(raw))
            return *e;
        return std::unexpected(failure(p, QStringLiteral("unknown value \"%1\"").arg(raw)));
    }
    static QJsonValue encode(E e) { return rawValue(e); }
};

template <class T>
struct Codec<std::vector<T>> {
    static Decoded<std::vector<T>> decode(const QJsonValue& v, const Path& p) {
        if (!v.isArray())
            return std::unexpected(wrongType(p, "array", v));
        const QJsonArray array = v.toArray();
        std::vector<T> out;
        out.reserve(std::size_t(array.size()));
        for (qsizetype i = 0; i < array.size(); ++i) {
            const Path element{&p, nullptr, i};
            const QJsonValue item = array.at(i);
            if (item.isNull())
                return std::unexpected(failure(element, QStringLiteral("null is not allowed here")));
            auto decoded = Codec<T>::decode(item, element);
            if (!decoded)
                return std::unexpected(std::move(decoded.error()));
            out.push_back(std::move(*decoded));
        }
        return out;
    }
    static QJsonValue encode(const std::vector<T>& items) {
        QJsonArray array;
        for (const auto& item : items)
            array.append(Codec<T>::encode(item));
        return array;
    }
};

template <class T>
struct Codec<QMap<QString, T>> {
    static Decoded<QMap<QString, T>> decode(const QJsonValue& v, const Path& p) {
        if (!v.isObject())
            return std::unexpected(wrongType(p, "object", v));
        const QJsonObject object = v.toObject();
        QMap<QString, T> out;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QByteArray key = it.key().toUtf8();
            const Path member{&p, key.constData(), -1};
            if (it.value().isNull())
                return std::unexpected(failure(member, QStringLiteral("null is not allowed here")));
            auto decoded = Codec<T>::decode(it.value(), member);
            if (!decoded)
                return std::unexpected(std::move(decoded.error()));
            out.insert(it.key(), std::move(*decoded));
        }
        return out;
    }
    static QJsonValue encode(const QMap<QString, T>& map) {
        QJsonObject object;
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), Codec<T>::encode(it.value()));
        return object;
    }
};

template <class R, class T, bool Required>
std::optional<DecodeError> decodeField(const QJsonObject& object, const Path& parent, R& record,
                                       const Field<R, T, Required>& field) {
    const Path path{&parent, field.name, -1};
    const auto it = object.constFind(QLatin1StringView(field.name));
    if constexpr (Required) {
        if (it == object.constEnd())
            return failure(path, QStringLiteral("missing required key"));
        if (it->isNull())
            return failure(path, QStringLiteral("null in a required field"));
        auto decoded = Codec<T>::decode(*it, path);
        if (!decoded)
            return std::move(decoded.error());
        record.*field.member = std::move(*decoded);
    } else {
        using Inner = typename T::value_type;
        if (it == object.constEnd() || it->isNull()) {
            record.*field.member = std::nullopt;
            return std::nullopt;
        }
        auto decoded = Codec<Inner>::decode(*it, path);
        if (!decoded)
            return std::move(decoded.error());
        record.*field.member = std::move(*decoded);
    }
    return std::nullopt;
}

template <Record R>
struct Codec<R> {
    static Decoded<R> decode(const QJsonValue& v, const Path& p) {
        if (!v.isObject())
            return std::unexpected(wrongType(p, "object", v));
        const QJsonObject object = v.toObject();
        R record{};
        std::optional<DecodeError> error;
        std::apply([&](const auto&... field) { (void)((error = decodeField(object, p, record, field), !error) && ...); },
                   R::fields());
        if (error)
            return std::unexpected(std::move(*error));
        return record;
    }

    static QJsonValue encode(const R& record) {
        QJsonObject object;
        std::apply([&](const auto&... field) { (encodeField(object, record, field), ...); }, R::fields());
        return object;
    }

private:
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

// Parses the bytes and returns the root value, or why they are not a JSON document.
Decoded<QJsonValue> parseDocument(const QByteArray& bytes);

} // namespace json

// Decodes a whole response. `rootName` names the document in failure paths ("keys[3].scopes[0]").
template <class T>
Decoded<T> decodeJson(const QByteArray& bytes, const char* rootName = nullptr) {
    auto root = json::parseDocument(bytes);
    if (!root)
        return std::unexpected(std::move(root.error()));
    const json::Path path{nullptr, rootName, -1};
    return json::Codec<T>::decode(*root, path);
}

// Compact JSON; optional fields without a value are left out, never written as null.
template <class T>
QByteArray encodeJson(const T& value);

QByteArray compactJson(const QJsonValue& value);

template <class T>
QByteArray encodeJson(const T& value) {
    return compactJson(json::Codec<T>::encode(value));
}

// ---- equality and hashing ------------------------------------------------------------------

template <Record R>
bool operator==(const R& a, const R& b) {
    return std::apply([&](const auto&... field) { return ((a.*field.member == b.*field.member) && ...); },
                      R::fields());
}

namespace json {

inline void hashCombine(std::size_t& seed, std::size_t h) {
    seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

// Hashes are class templates rather than overloads so that nested containers of records find
// each other regardless of declaration order.
template <class T>
struct Hasher {
    static std::size_t of(const T& value) {
        if constexpr (Record<T>) {
            std::size_t seed = 0;
            std::apply(
                [&](const auto&... field) {
                    (hashCombine(seed, Hasher<std::remove_cvref_t<decltype(value.*field.member)>>::of(value.*field.member)), ...);
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

template <class T>
struct Hasher<std::optional<T>> {
    static std::size_t of(const std::optional<T>& value) { return value ? Hasher<T>::of(*value) ^ 0x5bd1e995u : 0; }
};

template <class T>
struct Hasher<std::vector<T>> {
    static std::size_t of(const std::vector<T>& values) {
        std::size_t seed = values.size();
        for (const auto& v : values)
            hashCombine(seed, Hasher<T>::of(v));
        return seed;
    }
};

template <class T>
struct Hasher<QMap<QString, T>> {
    static std::size_t of(const QMap<QString, T>& map) {
        std::size_t seed = std::size_t(map.size());
        for (auto it = map.begin(); it != map.end(); ++it) {
            hashCombine(seed, qHash(it.key()));
            hashCombine(seed, Hasher<T>::of(it.value()));
        }
        return seed;
    }
};

template <class T>
std::size_t hashOf(const T& value) {
    return Hasher<T>::of(value);
}

} // namespace json

template <Record R>
std::size_t qHash(const R& record, std::size_t seed = 0) {
    return json::hashOf(record) ^ seed;
}

} // namespace tavrin

template <tavrin::Record R>
struct std::hash<R> {
    std::size_t operator()(const R& record) const { return tavrin::json::hashOf(record); }
};
