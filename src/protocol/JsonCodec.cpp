#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cfloat>
#include <cmath>
#include <vector>

namespace tavrin::json {

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

QString typeName(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("bool");
    case QJsonValue::Double: return QStringLiteral("number");
    case QJsonValue::String: return QStringLiteral("string");
    case QJsonValue::Array: return QStringLiteral("array");
    case QJsonValue::Object: return QStringLiteral("object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("nothing");
}

DecodeError failure(const Path& path, QString reason) {
    return DecodeError{path.render(), std::move(reason)};
}

DecodeError wrongType(const Path& path, const char* expected, const QJsonValue& found) {
    return failure(path, QStringLiteral("expected %1, found %2").arg(QLatin1StringView(expected), typeName(found)));
}

Decoded<qint64> Codec<qint64>::decode(const QJsonValue& v, const Path& p) {
    if (!v.isDouble())
        return std::unexpected(wrongType(p, "integer", v));
    // toInteger() falls back to its default when the number is not a whole qint64, so two
    // different defaults tell a representable value from one that is not.
    const qint64 a = v.toInteger(0);
    const qint64 b = v.toInteger(1);
    if (a == b)
        return a;
    const double d = v.toDouble();
    if (std::isfinite(d) && std::trunc(d) != d)
        return std::unexpected(failure(p, QStringLiteral("expected an integer, found %1").arg(d)));
    return std::unexpected(failure(p, QStringLiteral("number does not fit a 64-bit integer")));
}

Decoded<double> Codec<double>::decode(const QJsonValue& v, const Path& p) {
    if (!v.isDouble())
        return std::unexpected(wrongType(p, "number", v));
    const double d = v.toDouble();
    if (!std::isfinite(d))
        return std::unexpected(failure(p, QStringLiteral("number does not fit a 64-bit float")));
    return d;
}

Decoded<float> Codec<float>::decode(const QJsonValue& v, const Path& p) {
    if (!v.isDouble())
        return std::unexpected(wrongType(p, "number", v));
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::fabs(d) > double(FLT_MAX))
        return std::unexpected(failure(p, QStringLiteral("number does not fit a 32-bit float")));
    return float(d);
}

Decoded<QJsonValue> parseDocument(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        if (bytes.trimmed().isEmpty())
            return std::unexpected(DecodeError{{}, QStringLiteral("empty document")});
        return std::unexpected(DecodeError{
            {}, QStringLiteral("not valid JSON (%1 at offset %2)").arg(error.errorString()).arg(error.offset)});
    }
    if (document.isArray())
        return QJsonValue(document.array());
    return QJsonValue(document.object());
}

} // namespace tavrin::json

namespace tavrin {

QByteArray compactJson(const QJsonValue& value) {
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

} // namespace tavrin
