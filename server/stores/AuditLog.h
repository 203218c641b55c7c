#pragma once

#include "protocol/ClientRecords.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <chrono>
#include <expected>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// One generation as the audit log keeps it. What is kept depends on the logging mode:
// privacy keeps the time, key, endpoint, status, response time and token counts; hash adds
// SHA-256 digests of prompt and answer; audit adds their text; none keeps nothing at all.
// The client's address is not kept: privacy mode promises metadata about the request, not
// about the person who sent it.
struct AuditRecord {
    QString time;
    QString keyId;
    QString endpoint;
    qint64 status = 0;
    double responseTimeMs = 0;
    qint64 promptTokens = 0;
    qint64 completionTokens = 0;
    std::optional<ClientAuditMode> mode; // the mode the record was made in
    std::optional<QString> promptSha256;
    std::optional<QString> completionSha256;
    std::optional<QString> prompt;
    std::optional<QString> completion;

    static constexpr auto fields() {
        using R = AuditRecord;
        return std::tuple{required("time", &R::time),
                          required("keyId", &R::keyId),
                          required("endpoint", &R::endpoint),
                          required("status", &R::status),
                          required("responseTimeMs", &R::responseTimeMs),
                          required("promptTokens", &R::promptTokens),
                          required("completionTokens", &R::completionTokens),
                          optional("mode", &R::mode),
                          optional("promptSha256", &R::promptSha256),
                          optional("completionSha256", &R::completionSha256),
                          optional("prompt", &R::prompt),
                          optional("completion", &R::completion)};
    }
};

struct AuditLogLimits {
    qint64 maxBytes = 2LL * 1024 * 1024 * 1024;
    qint64 freeDiskFloor = 512LL * 1024 * 1024;
};

// The audit log: one JSON line per generation in "audit/YYYY-MM-DD.jsonl" (UTC days) of the
// state directory. Each line is appended with a single write, so a killed server never leaves
// half a line; the files are synced by sync() (about once a second) and pruned to the retention
// period. In audit mode every prompt is kept whole, so the log has a ceiling: beyond its size cap,
// or when the disk's free space falls to a floor, records are counted as dropped rather than
// written, and writing resumes once retention (or the user) makes room. A record not kept, for
// want of room or for a file system error, is a failure that names why (see unavailable()):
// audit mode refuses the request rather than serve it unrecorded. Thread-safe.
class AuditLog {
public:
    using Limits = AuditLogLimits;

    explicit AuditLog(QString directory, Limits limits = {}) : m_directory(std::move(directory)), m_limits(limits) {}
    ~AuditLog();
    AuditLog(const AuditLog&) = delete;
    AuditLog& operator=(const AuditLog&) = delete;

    const QString& directory() const { return m_directory; }

    // Fills in what `settings.mode` asks for from the prompt and answer texts, and appends. The
    // error says why the record was not kept, in words that follow "the audit log cannot be
    // written"; the server's log hears of each failure once, when it begins.
    std::expected<void, QString> record(const ClientAuditLoggingSettings& settings, AuditRecord record,
                                        const QString& prompt, const QString& completion);
    std::expected<void, QString> sync();
    // Removes every record older than `retentionDays` before `now`: whole day files before the
    // cut-off's day, and the older lines of the cut-off's own day.
    void prune(qint64 retentionDays, const QDateTime& now);

    // The oldest time a record may have and still be kept, as the records write it.
    static QString cutoff(qint64 retentionDays, const QDateTime& now);
    // The day files, oldest first.
    static QStringList dayFiles(const QString& directory);

    // Every complete record, oldest day first; a line that does not decode is skipped.
    static std::vector<AuditRecord> readAll(const QString& directory);

    // Whether a record of at least `bytes` can be kept now: asked before a generation, so that
    // audit mode refuses a request it could not record without spending the generation on it.
    // After a failed write the day file is opened afresh, and only a file that opens again is
    // given the next record to try.
    std::expected<void, QString> admits(qint64 bytes);
    // Why records cannot be kept now (full, or the file system's error from the last write), or
    // nullopt while they can. A full log is looked at again, so room made since shows at once; a
    // write error stands until a write succeeds; a log not yet opened is opened to find out.
    std::optional<QString> unavailable();
    // Whether the last write failed and none has succeeded since: a disk that refuses writes opens
    // its file as ever, so only the next write can tell that it is mended.
    bool lastWriteFailed();

    // Records not written since the server started, for want of room.
    qint64 dropped() const { return m_dropped; }

    // A record's line, without its line break, as encodeJson writes the record: written straight,
    // since a JSON document built for every request cost more than the rest of settling it.
    static std::string encodeLine(const AuditRecord& record);

private:
    // Called with m_mutex held: whether `bytes` more fit under both limits; if not, m_full says why.
    bool hasRoomFor(qint64 bytes);
    // Called with m_mutex held: today's day file open for appending.
    std::expected<void, QString> openToday();
    // Called with m_mutex held: keeps `error` as the log's standing fault, logged as it begins.
    QString failed(QString error);
    void closeFile();

    QString m_directory;
    Limits m_limits;
    std::optional<qint64> m_bytes; // the day files' total, counted when first needed
    // The disk's free space as last read, less what has been written since; read again once it is
    // a second old, or at once while the log is full, so that room made shows without delay.
    std::optional<qint64> m_diskFree;
    std::chrono::steady_clock::time_point m_diskRead;
    std::atomic<qint64> m_dropped{0};
    std::optional<QString> m_full; // why the last record asked found no room; logged as it fills up
    qint64 m_lastAsked = 0;        // that record's size, to see when room is back
    std::optional<QString> m_writeError; // the last write's failure, until a write succeeds
    std::mutex m_mutex;
    std::mutex m_pruneMutex; // the hourly pass and a retention change may prune at once
    int m_fd = -1;
    QDate m_day;
};

} // namespace tavrin
