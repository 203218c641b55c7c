#pragma once

#include "protocol/JsonCodec.h"

#include <httplib.h>

#include <QString>

namespace tavrin {

// Failures answer one line of text: the panel shows it as it stands.
inline void replyText(httplib::Response& res, int status, const QString& line) {
    res.status = status;
    res.set_content((line + QLatin1Char('\n')).toStdString(), "text/plain; charset=utf-8");
}

template <class T>
void replyJson(httplib::Response& res, int status, const T& value) {
    res.status = status;
    res.set_content(encodeJson(value).toStdString(), "application/json");
}

inline QString pathOf(const httplib::Request& req) { return QString::fromStdString(req.path); }

} // namespace tavrin
