#pragma once

#include "server/stores/AuditLog.h"

#include <QStringList>

#include <cstdio>
#include <memory>
#include <string>

namespace tavrin {

// Reads the audit log's day files one line at a time and renders them for an export, a chunk
// at a time, so that an export of any size needs only a chunk's worth of memory. Records older
// than the cut-off (retention not yet pruned) and lines that do not decode (a line still being
// written) are left out.
class AuditExport {
public:
    enum class Format { csv, jsonl };

    // `includeText`: JSONL keeps prompt and answer text where the record has it; otherwise
    // text is removed. CSV never carries text.
    AuditExport(const QString& directory, Format format, bool includeText, QString cutoff);
    ~AuditExport();
    AuditExport(const AuditExport&) = delete;
    AuditExport& operator=(const AuditExport&) = delete;

    static constexpr const char* csvHeader =
        "time,keyId,endpoint,status,responseTimeMs,promptTokens,completionTokens,mode\r\n";

    // Appends at least one line, or the header, to `out` until it holds about `chunkBytes`;
    // false once everything has been rendered and `out` is left empty.
    bool next(std::string& out, std::size_t chunkBytes = 64 * 1024);

    qint64 recordsWritten() const { return m_records; }
    // Records whose prompt or answer text went out.
    qint64 recordsWithText() const { return m_textRecords; }

private:
    bool openNextFile();

    QStringList m_files;
    Format m_format;
    bool m_includeText;
    QString m_cutoff;
    std::FILE* m_file = nullptr;
    char* m_line = nullptr;
    std::size_t m_lineCapacity = 0;
    bool m_headerDone = false;
    qint64 m_records = 0;
    qint64 m_textRecords = 0;
};

// RFC 4180: a field holding a comma, a quote or a line break is quoted, its quotes doubled.
std::string csvField(QStringView text);

} // namespace tavrin
