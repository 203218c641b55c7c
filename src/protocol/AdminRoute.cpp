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

QString pathOf(const AdminRoute& route) {
    const std::string_view target = route.target;
    return latin1(target.substr(0, target.find('?')));
}

// The path part of a route's target, cut into segments.
QStringList segmentsOf(const AdminRoute& route) { return pathOf(route).split(u'/'); }

bool isArgument(const QString& segment) {
    return segment.startsWith(u'<') && segment.endsWith(u'>');
}

// A route's query as the table writes it: name and value, or name and `<a|b>`.
QList<std::pair<QString, QString>> queryOf(const AdminRoute& route) {
    const std::string_view target = route.target;
    const std::size_t mark = target.find('?');
    QList<std::pair<QString, QString>> parameters;
    if (mark == std::string_view::npos)
        return parameters;
    for (const QString& pair : latin1(target.substr(mark + 1)).split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        parameters.emplace_back(pair.left(eq), eq < 0 ? QString() : pair.mid(eq + 1));
    }
    return parameters;
}

QStringList valuesOf(const QString& value) {
    return isArgument(value) ? value.mid(1, value.size() - 2).split(u'|') : QStringList{value};
}

// "format must be csv or jsonl"
QString mustBe(const QString& name, const QStringList& values) {
    const QString last = values.back();
    const QString rest = values.first(values.size() - 1).join(QStringLiteral(", "));
    return QStringLiteral("%1 must be %2").arg(name, rest.isEmpty() ? last : rest + QStringLiteral(" or ") + last);
}

// What one parameter may be, over every row at a method and path.
struct QueryRule {
    QString name;
    QStringList values; // in the table's order
    bool picksRow = false; // fixed in some row: it must be given
};

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

std::expected<AdminQueryMatch, QString> matchAdminQuery(AdminOperation routed,
                                                        std::span<const std::pair<std::string, std::string>> query) {
    const AdminRoute& route = adminRoute(routed);
    QList<const AdminRoute*> rows;
    QList<QueryRule> rules;
    for (const AdminRoute& row : adminRoutes) {
        if (row.method != route.method || pathOf(row) != pathOf(route))
            continue;
        rows << &row;
        for (const auto& [name, value] : queryOf(row)) {
            auto rule = std::ranges::find(rules, name, &QueryRule::name);
            if (rule == rules.end())
                rule = rules.insert(rules.end(), QueryRule{name, {}, false});
            rule->picksRow = rule->picksRow || !isArgument(value);
            for (const QString& allowed : valuesOf(value))
                if (!rule->values.contains(allowed))
                    rule->values << allowed;
        }
    }
    if (rules.isEmpty())
        return AdminQueryMatch{routed, {}};

    // Given twice, a parameter would mean whichever of its values a reader happened to take.
    QList<std::pair<QString, QString>> given;
    for (const auto& [rawName, rawValue] : query) {
        const QString name = QString::fromStdString(rawName);
        if (std::ranges::find(rules, name, &QueryRule::name) == rules.end())
            continue;
        if (std::ranges::find(given, name, &std::pair<QString, QString>::first) != given.end())
            return std::unexpected(QStringLiteral("%1 may be given only once.").arg(name));
        given.emplace_back(name, QString::fromStdString(rawValue));
    }
    const auto valueOf = [&given](const QString& name) -> std::optional<QString> {
        const auto found = std::ranges::find(given, name, &std::pair<QString, QString>::first);
        return found == given.end() ? std::nullopt : std::optional(found->second);
    };
    for (const QueryRule& rule : rules) {
        const std::optional<QString> value = valueOf(rule.name);
        if (value ? !rule.values.contains(*value) : rule.picksRow)
            return std::unexpected(mustBe(rule.name, rule.values));
    }
    for (const AdminRoute* row : rows) {
        AdminQueryMatch match{row->operation, {}};
        bool fits = true;
        for (const auto& [name, value] : queryOf(*row)) {
            if (isArgument(value))
                match.argument = valueOf(name).value_or(QString());
            else
                fits = fits && valueOf(name) == value;
        }
        if (fits)
            return match;
    }
    // Each fixed value allowed, but no row with all of them together.
    const QueryRule& picking = *std::ranges::find(rules, true, &QueryRule::picksRow);
    return std::unexpected(mustBe(picking.name, picking.values));
}

} // namespace tavrin
