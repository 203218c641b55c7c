#pragma once

#include "protocol/Task.h"

#include "state/ActionOutcome.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <coroutine>
#include <expected>
#include <memory>
#include <optional>
#include <vector>

namespace tavrin {

class DaemonClient;
class TransferWatch;

// Which of the server's two audit exports.
struct AuditExportRequest {
    enum class Format { csv, jsonl };
    Format format = Format::csv;
    bool includePromptContents = false; // JSONL only
};

// One audit export on its way to a file that the user names while it downloads. The answer streams
// at once into a hidden temporary file in the folder the save dialog proposes; once the user has
// chosen a name it is moved beside that name (renamed, or fetched again where the folder is on
// another file system) and, complete, renamed into place. Whatever does not end in a saved file
// (a failure, a cancelled dialog, the download dropped) leaves no temporary file behind, and a
// failed download never touches the chosen file.
//
// Its coroutines keep the download alive while they wait, so a caller may drop it at any time:
// the last owner gone ends the transfer and removes what it had written.
class ExportDownload : public QObject, public std::enable_shared_from_this<ExportDownload> {
    Q_OBJECT
public:
    // Starts the transfer into a temporary file in `folder` (the system's temporary folder where
    // that one takes no file). `name` is the proposed file name, for the temporary file's own.
    static std::shared_ptr<ExportDownload> start(DaemonClient* client, AuditExportRequest request, const QString& folder,
                                                 const QString& name);
    ~ExportDownload() override;

    // The server's answer: success once its body is on its way, or why not (nothing is left on disk).
    QCoro::Task<ActionResult> answered();
    // Waits for the whole export and puts it at `destination`, replacing a file there. Fails with
    // the message to show; the destination is then untouched.
    QCoro::Task<ActionResult> saveAs(QString destination);
    // Waits for the whole export where it is being written (temporaryPath()), for a caller that reads
    // it there as it grows rather than saving it (the command-line tool, onto its standard output).
    // The file goes with the download; after a failure, at once.
    QCoro::Task<ActionResult> completed();
    // Nothing is to be saved: the transfer ends and its temporary file goes; a caller still waiting
    // for it is told "The export was cancelled.".
    void cancel();

    // Where the bytes are being written now (empty once nothing is).
    QString temporaryPath() const { return m_temporaryPath; }
    qint64 bytesWritten() const { return m_bytesWritten; }

Q_SIGNALS:
    void progress(qint64 bytesWritten);
    // The transfer is over, whether it brought the whole export or not.
    void finished();

private:
    ExportDownload(DaemonClient* client, AuditExportRequest request);
    // A new transfer into a new temporary file in `folder`; false (with the file's error) when no
    // temporary file can be made there.
    bool begin(const QString& folder, const QString& name);
    void endTransfer();
    // The answer's head came (m_answered), or the transfer ended (m_result): the coroutines waiting
    // for either look again, from the event loop.
    void settle();
    class Settling;
    void removeTemporary();
    // The bytes written, or why the transfer did not bring them all.
    using Written = ActionOutcome<qint64>;
    static QCoro::Task<void> follow(std::weak_ptr<ExportDownload> download, TransferWatch* watch,
                                    QCoro::Task<Written> transfer);

    QPointer<DaemonClient> m_client;
    AuditExportRequest m_request;
    QString m_temporaryPath;
    QPointer<TransferWatch> m_watch;
    bool m_answered = false;
    std::optional<Written> m_result;
    qint64 m_bytesWritten = 0;
    std::vector<std::coroutine_handle<>> m_waiting;
};

} // namespace tavrin
