#pragma once

#include "protocol/ClientRecords.h"

#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// What the Diagnostics tab decides, without a window.

// A row of "Files & folders": what it names, the path it shows, and what its button does with
// `target` (nothing where there is no target).
struct FileRowText {
    enum class Action { reveal, open };
    QString label;
    QString path;
    std::optional<QString> target;
    Action action = Action::open;
};
// The state folder is the one the server reports; without a status it shows "?" and its button does
// nothing. The two logs are the files a server started for this session writes (the controller's
// standard output and error logs).
std::vector<FileRowText> diagnosticsFileRows(const std::optional<ClientServerStatus>& status);

} // namespace tavrin
