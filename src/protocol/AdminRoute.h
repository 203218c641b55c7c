#pragma once

// The admin API's contract, written once: which method and target each operation of the panel's
// client is sent with. The client builds its requests from this table and the server's router
// answers from it, so a path cannot be spelled one way on one side and another way on the other.
// Adding an endpoint is one row here, one function of DaemonClient and one case of the server's
// router (which does not build until it has it).

#include <QString>
#include <QStringView>

#include <optional>
#include <string_view>

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
};

enum class HttpMethod { Get, Post, Put, Delete };

// "GET", "POST", "PUT", "DELETE".
std::string_view methodName(HttpMethod method);

// A target's `<…>` part is the operation's argument: a key's id in the path, the export's choice in
// its query. The query is the client's to send; the server routes on the path alone.
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

} // namespace tavrin
