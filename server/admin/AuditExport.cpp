#include "server/admin/AuditExport.h"

#include <QFile>

#include <cstdlib>

namespace tavrin {

std::string csvField(QStringView text) {
    const std::string utf8 = text.toUtf8().toStdString();
    if (utf8.find_first_of(",\"\r\n") == std::string::npos)
        return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

AuditExport::AuditExport(const QString& directory, Format format, bool includeText, QString cutoff)
    : m_files(AuditLog::dayFiles(directory)), m_format(format), m_includeText(includeText),
      m_cutoff(std::move(cutoff)) {}

AuditExport::~AuditExport() {
    if (m_file)
        std::fclose(m_file);
    std::free(m_line);
}

bool AuditExport::openNextFile() {
    while (!m_files.isEmpty()) {
        // A file pruned since the listing is simply gone: there is nothing of it to export.
        m_file = std::fopen(QFile::encodeName(m_files.takeFirst()).constData(), "rbe");
        if (m_file)
            return true;
    }
    return false;
}

bool AuditExport::next(std::string& out, std::size_t chunkBytes) {
    out.clear();
    if (m_format == Format::csv && !m_headerDone) {
        out += csvHeader;
        m_headerDone = true;
    }
    while (out.size() < chunkBytes) {
        if (!m_file && !openNextFile())
            break;
        const ssize_t length = ::getline(&m_line, &m_lineCapacity, m_file);
        if (length < 0) {
            std::fclose(m_file);
            m_file = nullptr;
            continue;
        }
        if (length == 0 || m_line[length - 1] != '\n')
            continue; // still being appended
        auto record = decodeJson<AuditRecord>(QByteArrayView(m_line, length - 1));
        if (!record || record->time < m_cutoff)
            continue;
        ++m_records;
        if (m_format == Format::jsonl) {
            const bool hasText = record->prompt || record->completion;
            if (m_includeText && hasText)
                ++m_textRecords;
            if (m_includeText || !hasText) {
                // The line is a record as encodeJson wrote it and has just decoded strictly.
                out.append(m_line, std::size_t(length));
                continue;
            }
            record->prompt.reset();
            record->completion.reset();
            out += encodeJson(*record).toStdString();
            out += '\n';
            continue;
        }
        const AuditRecord& r = *record;
        out += csvField(r.time);
        out += ',';
        out += csvField(r.keyId);
        out += ',';
        out += csvField(r.endpoint);
        out += ',';
        out += std::to_string(r.status);
        out += ',';
        out += QByteArray::number(r.responseTimeMs, 'f', 3).toStdString();
        out += ',';
        out += std::to_string(r.promptTokens);
        out += ',';
        out += std::to_string(r.completionTokens);
        out += ',';
        if (r.mode)
            out += csvField(rawValue(*r.mode));
        out += "\r\n";
    }
    return !out.empty();
}

} // namespace tavrin
