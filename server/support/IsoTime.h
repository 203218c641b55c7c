#pragma once

#include <QDateTime>
#include <QString>

namespace tavrin {

// Every time the server reports is ISO-8601 UTC with seconds ("2026-12-06T21:04:05Z").
inline QString isoUtc(const QDateTime& when) { return when.toUTC().toString(Qt::ISODate); }
// Asked for on every request (its audit record, its key's last use): a second's text is made once
// on each thread that asks.
inline QString isoUtcNow() {
    thread_local qint64 second = -1;
    thread_local QString text;
    if (const qint64 now = QDateTime::currentSecsSinceEpoch(); now != second) {
        text = isoUtc(QDateTime::fromSecsSinceEpoch(now, Qt::UTC));
        second = now;
    }
    return text;
}

} // namespace tavrin
