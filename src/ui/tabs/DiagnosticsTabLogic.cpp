#include "ui/tabs/DiagnosticsTabLogic.h"

#include "base/StateFolder.h"

#include <QCoreApplication>

namespace tavrin {

std::vector<FileRowText> diagnosticsFileRows(const std::optional<ClientServerStatus>& status) {
    const QString serverLog = SessionLogs::standardOutput();
    const QString errorLog = SessionLogs::standardError();
    FileRowText state{QCoreApplication::translate("DiagnosticsTabLogic", "State directory"),
                      QStringLiteral("?"), std::nullopt, FileRowText::Action::reveal};
    if (status) {
        state.path = status->stateDirectory;
        state.target = status->stateDirectory;
    }
    return {state,
            {QCoreApplication::translate("DiagnosticsTabLogic", "Server log"), serverLog, serverLog,
             FileRowText::Action::open},
            {QCoreApplication::translate("DiagnosticsTabLogic", "Error log"), errorLog, errorLog,
             FileRowText::Action::open}};
}

} // namespace tavrin
