#include "server/support/HttpMessage.h"

#include <sodium.h>

#include <algorithm>

namespace tavrin {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(uchar(x)) == std::tolower(uchar(y)); });
}

const std::string* find(const HttpFields& headers, std::string_view name) {
    for (const auto& [key, value] : headers)
        if (sameName(key, name))
            return &value;
    return nullptr;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(uchar(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string decoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

bool HttpRequest::hasHeader(std::string_view name) const { return find(headers, name); }

std::string HttpRequest::header(std::string_view name) const {
    const std::string* value = find(headers, name);
    return value ? *value : std::string();
}


void HttpResponse::setHeader(std::string name, std::string value) {
    for (auto& [key, existing] : headers)
        if (sameName(key, name)) {
            existing = std::move(value);
            return;
        }
    headers.emplace_back(std::move(name), std::move(value));
}

bool HttpResponse::hasHeader(std::string_view name) const { return find(headers, name); }

void HttpResponse::setContent(std::string content, std::string type) {
    body = std::move(content);
    contentType = std::move(type);
    stream = nullptr;
}

void HttpResponse::setStream(std::string type, std::function<bool(std::string&)> next) {
    body.clear();
    contentType = std::move(type);
    stream = std::move(next);
}

void answerConditionally(const HttpRequest& req, HttpResponse& res) {
    if (req.method != "GET" || res.status != 200 || res.stream)
        return;
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(res.body.data()), res.body.size());
    // Half the digest is plenty to tell one answer of a path from the next.
    const std::string tag = '"' + QByteArray(reinterpret_cast<const char*>(digest), 16).toHex().toStdString() + '"';
    res.setHeader("ETag", tag);
    const std::string wanted = req.header("If-None-Match");
    for (std::string_view rest = wanted; !rest.empty();) {
        const std::size_t comma = rest.find(',');
        std::string_view candidate = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        while (!candidate.empty() && candidate.front() == ' ')
            candidate.remove_prefix(1);
        while (!candidate.empty() && candidate.back() == ' ')
            candidate.remove_suffix(1);
        if (candidate.starts_with("W/")) // a GET compares weakly
            candidate.remove_prefix(2);
        if (candidate == tag || candidate == "*") {
            res.status = 304;
            res.body.clear();
            res.contentType.clear();
            return;
        }
    }
}

HttpFields parseQuery(std::string_view query) {
    HttpFields fields;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        const std::size_t eq = pair.find('=');
        fields.emplace_back(decoded(pair.substr(0, eq)),
                            eq == std::string_view::npos ? std::string() : decoded(pair.substr(eq + 1)));
    }
    return fields;
}

} // namespace tavrin
