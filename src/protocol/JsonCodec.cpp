#include "protocol/JsonCodec.h"

#include <QJsonDocument>

#include <cfloat>
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

QByteArray compactJson(const QJsonValue& value) {
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

} // namespace tavrin
