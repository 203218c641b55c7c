#pragma once

#include "protocol/JsonCodec.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin {

class AnswerFeed;

using HttpFields = std::vector<std::pair<std::string, std::string>>;

// A request as the handlers see it: read whole, headers and body, before any handler runs, so
// that a slow client never holds a worker.
struct HttpRequest {
    std::string method;
    std::string path; // the target without its query
    HttpFields headers;
    HttpFields params; // the query, decoded; an admin route's is judged by its row (matchAdminQuery)
    std::string body;
    std::string remoteAddress;

    // Header names compare without case; an absent header reads as empty.
    bool hasHeader(std::string_view name) const;
    std::string header(std::string_view name) const;
};

// What a handler answers: a whole body, a body produced piece by piece and sent chunked, or an
// answer that comes later, through a feed (a generation's).
struct HttpResponse {
    int status = 200;
    HttpFields headers;
    std::string contentType;
    std::string body;
    // Appends the next piece to its argument; false once nothing is left. Called on a worker,
    // one piece at a time, only as fast as the client reads.
    std::function<bool(std::string&)> stream;
    // When set, the answer is the feed's; the rest of this record is not used.
    std::shared_ptr<AnswerFeed> feed;

    void setHeader(std::string name, std::string value);
    bool hasHeader(std::string_view name) const;
    void setContent(std::string content, std::string type);
    void setStream(std::string type, std::function<bool(std::string&)> next);
};

// Tags a whole 200 answer to a GET with an entity tag (a digest of its body), and turns it into
// 304 Not Modified, without the body, when the request's If-None-Match names that tag: a panel
// that polls an unchanged key list then receives nothing, and decodes nothing.
void answerConditionally(const HttpRequest& req, HttpResponse& res);

// "a=1&b=x%20y" as name and value pairs, with %XX and '+' decoded.
HttpFields parseQuery(std::string_view query);

// Failures answer one line of text: the panel shows it as it stands.
inline void replyText(HttpResponse& res, int status, const QString& line) {
    res.status = status;
    res.setContent((line + QLatin1Char('\n')).toStdString(), "text/plain; charset=utf-8");
}

template <class T>
void replyJson(HttpResponse& res, int status, const T& value) {
    res.status = status;
    res.setContent(encodeJson(value).toStdString(), "application/json");
}

inline QString pathOf(const HttpRequest& req) { return QString::fromStdString(req.path); }

} // namespace tavrin
