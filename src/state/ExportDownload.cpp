#include "state/ExportDownload.h"

#include "protocol/DaemonClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace tavrin {

namespace {

// rename(2): atomic within one file system, replacing what is there; the failure in the system's words.
std::expected<void, QString> renameFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return std::unexpected(qt_error_string(errno));
}

QCoro::Task<ActionOutcome<qint64>> written(QCoro::Task<DownloadResult> transfer) {
    co_return outcomeOf(co_await std::move(transfer));
}

} // namespace

// Waiting for the next settle(). Not a wait on a signal: a queued signal emitted twice before the
// first delivery would resume a waiter that had already moved on.
class ExportDownload::Settling {
public:
    explicit Settling(ExportDownload* download) : m_download(download) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiting) { m_download->m_waiting.push_back(waiting); }
    void await_resume() const noexcept {}

private:
    ExportDownload* m_download;
};

ExportDownload::ExportDownload(DaemonClient* client, AuditExportRequest request)
    : m_client(client), m_request(request) {}

std::shared_ptr<ExportDownload> ExportDownload::start(DaemonClient* client, AuditExportRequest request,
                                                      const QString& folder, const QString& name) {
    std::shared_ptr<ExportDownload> download(new ExportDownload(client, request));
    if (!download->begin(folder, name))
        download->begin(QDir::tempPath(), name);
    return download;
}

ExportDownload::~ExportDownload() {
    endTransfer();
    removeTemporary();
}

bool ExportDownload::begin(const QString& folder, const QString& name) {
    // Hidden, so that the save dialog, open on this folder meanwhile, does not offer it.
    auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral(".%1.XXXXXX.part").arg(name)));
    file->setAutoRemove(false);
    if (!file->open()) {
        m_result = std::unexpected(ActionError{file->errorString()});
        return false;
    }
    m_temporaryPath = file->fileName();
    m_result.reset();
    m_bytesWritten = 0;

    auto* watch = new TransferWatch(this);
    m_watch = watch;
    connect(watch, &TransferWatch::answered, this, [this] {
        m_answered = true;
        settle();
    });
    connect(watch, &TransferWatch::received, this, [this](qint64 written) {
        m_bytesWritten = written;
        Q_EMIT progress(written);
    });
    std::unique_ptr<QIODevice> device = std::move(file);
    QCoro::Task<DownloadResult> transfer =
        m_request.format == AuditExportRequest::Format::csv
            ? m_client->streamAuditCSV(std::move(device), watch)
            : m_client->streamAuditJSONL(m_request.includePromptContents, std::move(device), watch);
    follow(weak_from_this(), watch, written(std::move(transfer)));
    return true;
}

QCoro::Task<void> ExportDownload::follow(std::weak_ptr<ExportDownload> download, TransferWatch* watch,
                                         QCoro::Task<Written> transfer) {
    Written result = co_await std::move(transfer);
    const auto self = download.lock();
    // Dropped meanwhile, or this transfer was ended for another (its watch is then gone).
    if (!self || !self->m_watch || self->m_watch.data() != watch)
        co_return;
    self->m_result = std::move(result);
    Q_EMIT self->finished();
    self->settle();
}

void ExportDownload::endTransfer() {
    if (!m_watch)
        return;
    m_watch->abort();
    delete m_watch.data();
}

// Never from inside the transfer's own signals: a resumed waiter may end the transfer. Each waiting
// coroutine holds the download, so it lives until the last one has run.
void ExportDownload::settle() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (std::coroutine_handle<> waiting : std::exchange(m_waiting, {}))
                waiting.resume();
        },
        Qt::QueuedConnection);
}

void ExportDownload::removeTemporary() {
    if (m_temporaryPath.isEmpty())
        return;
    QFile::remove(m_temporaryPath);
    m_temporaryPath.clear();
}

void ExportDownload::cancel() {
    endTransfer();
    removeTemporary();
    // Whoever still waits for the file learns it will not come, rather than waiting for ever.
    if (!m_result) {
        m_result = std::unexpected(
            ActionError{QCoreApplication::translate("ExportDownload", "The export was cancelled.")});
        settle();
    }
}

QCoro::Task<ActionResult> ExportDownload::answered() {
    // Taken before the first wait (the task starts at once): the download lives while this waits.
    const auto self = shared_from_this();
    while (!m_answered && !m_result)
        co_await Settling(this);
    if (m_answered || *m_result)
        co_return {};
    removeTemporary();
    co_return std::unexpected(m_result->error());
}

QCoro::Task<ActionResult> ExportDownload::completed() {
    const auto self = shared_from_this();
    while (!m_result)
        co_await Settling(this);
    if (*m_result)
        co_return {};
    removeTemporary();
    co_return std::unexpected(m_result->error());
}

QCoro::Task<ActionResult> ExportDownload::saveAs(QString destination) {
    const auto self = shared_from_this();
    const QFileInfo target(destination);
    const QString folder = target.absolutePath();
    const bool failedAlready = m_result && !*m_result;
    if (!failedAlready && !m_temporaryPath.isEmpty() && QFileInfo(m_temporaryPath).absolutePath() != folder) {
        // Beside the destination, so that the last step is a rename within one folder. An open
        // file keeps being written under its new name.
        const QString beside = QDir(folder).filePath(QFileInfo(m_temporaryPath).fileName());
        if (renameFile(m_temporaryPath, beside)) {
            m_temporaryPath = beside;
        } else {
            // Another file system: fetched again straight into that folder, which costs one more
            // loopback transfer rather than a copy of the whole file.
            endTransfer();
            removeTemporary();
            begin(folder, target.fileName());
        }
    }
    while (!m_result)
        co_await Settling(this);
    if (!*m_result) {
        removeTemporary();
        co_return std::unexpected(m_result->error());
    }
    if (auto placed = renameFile(m_temporaryPath, target.absoluteFilePath()); !placed) {
        removeTemporary();
        co_return std::unexpected(ActionError{placed.error()});
    }
    m_temporaryPath.clear();
    co_return {};
}

} // namespace tavrin
