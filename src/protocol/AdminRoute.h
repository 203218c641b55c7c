#pragma once

// The admin API's contract, written once: which method and target each operation of the panel's
// client is sent with. The client builds its requests from this table and the server's router
// answers from it, so a path cannot be spelled one way on one side and another way on the other.
// Adding an endpoint is one row here, one function of DaemonClient and one case of the server's
// router (which does not build until it has it). A query is written in the row too, and the server
// judges a request's query by it (matchAdminQuery), so no handler reads one by hand.

#include <QString>
#include <QStringView>

#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace tavrin {

// One per operation of DaemonClient, in the order of the table below.
enum class AdminOperation {
    status,
    listKeys,
    createKey,
    revokeKey,
    rotateKey,
    deleteKey,
    loggingSettings,
    updateLoggingSettings,
    exportAuditCSV,
    exportAuditJSONL,
    networkPreferences,
    updateNetworkPreferences,
    orgPreamble,
    setOrgPreamble,
    updaterStatus,
    checkForUpdates,
    downloadUpdate,
    clearStagedUpdate,
    promoteModel,
    rollbackModel,
    createDiagnostics,
    engineSettings,
    updateEngineSettings,
    testEngine,
};

enum class HttpMethod { Get, Post, Put, Delete };

// "GET", "POST", "PUT", "DELETE".
std::string_view methodName(HttpMethod method);

// A target's `<…>` part is the operation's argument: a key's id in the path, the export's choice in
// its query. The server routes on the path, then on the query (matchAdminQuery).
struct AdminRoute {
    AdminOperation operation;
    HttpMethod method;
    std::string_view target;

    // The target with `argument` in place of its `<…>` part, unchanged (no percent-encoding).
    QString targetWith(QStringView argument = {}) const;
};

inline constexpr AdminRoute adminRoutes[] = {
    {AdminOperation::status, HttpMethod::Get, "/admin/status"},
    {AdminOperation::listKeys, HttpMethod::Get, "/admin/keys"},
    {AdminOperation::createKey, HttpMethod::Post, "/admin/keys"},
    {AdminOperation::revokeKey, HttpMethod::Post, "/admin/keys/<id>/revoke"},
    {AdminOperation::rotateKey, HttpMethod::Post, "/admin/keys/<id>/rotate"},
    {AdminOperation::deleteKey, HttpMethod::Delete, "/admin/keys/<id>"},
    {AdminOperation::loggingSettings, HttpMethod::Get, "/admin/settings/logging"},
    {AdminOperation::updateLoggingSettings, HttpMethod::Put, "/admin/settings/logging"},
    {AdminOperation::exportAuditCSV, HttpMethod::Get, "/admin/audit/export?format=csv"},
    {AdminOperation::exportAuditJSONL, HttpMethod::Get,
     "/admin/audit/export?format=jsonl&includePromptContents=<true|false>"},
    {AdminOperation::networkPreferences, HttpMethod::Get, "/admin/network"},
    {AdminOperation::updateNetworkPreferences, HttpMethod::Put, "/admin/network"},
    {AdminOperation::orgPreamble, HttpMethod::Get, "/admin/settings/preamble"},
    {AdminOperation::setOrgPreamble, HttpMethod::Put, "/admin/settings/preamble"},
    {AdminOperation::updaterStatus, HttpMethod::Get, "/admin/updates"},
    {AdminOperation::checkForUpdates, HttpMethod::Post, "/admin/updates/check"},
    {AdminOperation::downloadUpdate, HttpMethod::Post, "/admin/updates/download"},
    {AdminOperation::clearStagedUpdate, HttpMethod::Post, "/admin/updates/clear"},
    {AdminOperation::promoteModel, HttpMethod::Post, "/admin/model/promote"},
    {AdminOperation::rollbackModel, HttpMethod::Post, "/admin/model/rollback"},
    {AdminOperation::createDiagnostics, HttpMethod::Post, "/admin/diagnostics"},
    {AdminOperation::engineSettings, HttpMethod::Get, "/admin/engine"},
    {AdminOperation::updateEngineSettings, HttpMethod::Put, "/admin/engine"},
    {AdminOperation::testEngine, HttpMethod::Post, "/admin/engine/test"},
};

const AdminRoute& adminRoute(AdminOperation operation);

// Needs no password, on the admin port as on any other.
inline constexpr std::string_view healthPath = "/healthz";

// The admin API's own part of the server's paths: "/admin" and everything under "/admin/".
bool isAdminPath(std::string_view path);

// What the router makes of a request's method and path (its target without the query).
struct AdminRouteMatch {
    std::optional<AdminOperation> operation; // none: nothing at this path answers this method
    QString argument;                        // the path's `<…>` segment, as requested
    QString allowed;                         // the methods the path answers ("GET, POST"); empty: none
};
AdminRouteMatch matchAdminRoute(std::string_view method, QStringView path);

// What a request's query makes of the rows at the method and path `routed` was found at. Where the
// table writes a query, its parameters are those rows' own: a fixed `name=value` picks the row and
// must be given, a `name=<a|b>` is the row's argument, one of those values or left out (empty).
// A parameter none of the rows names is ignored, as on a route without a query; a named one given
// twice, or with a value no row allows, is refused with the line the request is answered with.
struct AdminQueryMatch {
    AdminOperation operation;
    QString argument; // the query's `<…>` parameter as given; empty when left out or the row has none
};
std::expected<AdminQueryMatch, QString> matchAdminQuery(AdminOperation routed,
                                                        std::span<const std::pair<std::string, std::string>> query);

} // namespace tavrin
