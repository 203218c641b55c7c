#include "protocol/AdminRoute.h"

#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <utility>

namespace tavrin {

namespace {

consteval bool inOperationOrder() {
    for (std::size_t i = 0; i < std::size(adminRoutes); ++i)
        if (std::to_underlying(adminRoutes[i].operation) != int(i))
            return false;
    return true;
}
// So that every operation has exactly one row, and finding it is indexing.
static_assert(inOperationOrder(), "one row per operation, in the order of AdminOperation");

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The path part of a route's target, cut into segments.
QStringList segmentsOf(const AdminRoute& route) {
    const std::string_view target = route.target;
    return latin1(target.substr(0, target.find('?'))).split(u'/');
}

bool isArgument(const QString& segment) {
    return segment.startsWith(u'<') && segment.endsWith(u'>');
}

} // namespace

std::string_view methodName(HttpMethod method) {
    switch (method) {
    case HttpMethod::Get:
        return "GET";
    case HttpMethod::Post:
        return "POST";
    case HttpMethod::Put:
        return "PUT";
    case HttpMethod::Delete:
        return "DELETE";
    }
    return {};
}

QString AdminRoute::targetWith(QStringView argument) const {
    QString filled = latin1(target);
    if (const qsizetype open = filled.indexOf(u'<'); open >= 0)
        filled.replace(open, filled.indexOf(u'>', open) + 1 - open, argument.toString());
    return filled;
}

const AdminRoute& adminRoute(AdminOperation operation) {
    return adminRoutes[std::to_underlying(operation)];
}

bool isAdminPath(std::string_view path) {
    return path == "/admin" || path.starts_with("/admin/");
}

AdminRouteMatch matchAdminRoute(std::string_view method, QStringView path) {
    const QList<QStringView> requested = path.split(u'/');
    AdminRouteMatch match;
    QStringList allowed;
    for (const AdminRoute& route : adminRoutes) {
        const QStringList segments = segmentsOf(route);
        if (segments.size() != requested.size())
            continue;
        QString argument;
        bool same = true;
        for (qsizetype i = 0; i < segments.size() && same; ++i) {
            if (isArgument(segments[i]) && !requested[i].isEmpty()) // an empty id names no key
                argument = requested[i].toString();
            else
                same = segments[i] == requested[i];
        }
        if (!same)
            continue;
        if (const QString name = latin1(methodName(route.method)); !allowed.contains(name))
            allowed << name;
        if (!match.operation && methodName(route.method) == method) {
            match.operation = route.operation;
            match.argument = argument;
        }
    }
    match.allowed = allowed.join(QStringLiteral(", "));
    return match;
}

} // namespace tavrin
