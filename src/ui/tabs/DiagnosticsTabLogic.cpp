#include "ui/tabs/DiagnosticsTabLogic.h"

#include "base/StateFolder.h"

namespace tavrin {

std::vector<FileRowText> diagnosticsFileRows(const std::optional<ClientServerStatus>& status) {
    const QString serverLog = SessionLogs::standardOutput();
    const QString errorLog = SessionLogs::standardError();
    FileRowText state{QStringLiteral("State directory"), QStringLiteral("?"), std::nullopt, FileRowText::Action::reveal};
    if (status) {
        state.path = status->stateDirectory;
        state.target = status->stateDirectory;
    }
    return {state,
            {QStringLiteral("Server log"), serverLog, serverLog, FileRowText::Action::open},
            {QStringLiteral("Error log"), errorLog, errorLog, FileRowText::Action::open}};
}

} // namespace tavrin
