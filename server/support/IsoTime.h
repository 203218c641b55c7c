#pragma once

#include <QDateTime>
#include <QString>

namespace tavrin {

// Every time the server reports is ISO-8601 UTC with seconds ("2026-12-06T21:04:05Z").
inline QString isoUtc(const QDateTime& when) { return when.toUTC().toString(Qt::ISODate); }
inline QString isoUtcNow() { return isoUtc(QDateTime::currentDateTimeUtc()); }

} // namespace tavrin
