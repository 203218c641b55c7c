#include "support/RecordedRequests.h"

#include "protocol/DaemonClient.h"
#include "support/HttpProbe.h"
#include "support/ReferenceServer.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

namespace tavrin::test {

std::expected<void, QString> recordChatRequests(ReferenceServer& server, int count, const QString& prompt) {
    const auto client = server.client();
    const ClientAuditLoggingSettings audit{ClientAuditMode::audit, 30, true};
    if (auto set = QCoro::waitFor(client->updateLoggingSettings(audit)); !set)
        return std::unexpected(set.error().message());
    const std::optional<std::vector<ClientAPIKeyScope>> anyScope;
    const auto key = QCoro::waitFor(client->createKey(QStringLiteral("recorder"), anyScope));
    if (!key)
        return std::unexpected(key.error().message());
    const QJsonObject message{{"role", "user"}, {"content", prompt}};
    const QByteArray body =
        QJsonDocument(QJsonObject{{"model", "tavrin-echo"}, {"messages", QJsonArray{message}}}).toJson();
    for (int i = 0; i < count; ++i) {
        const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key->key).json(body));
        if (!answer || answer->status != 200)
            return std::unexpected(QStringLiteral("chat request %1 failed").arg(i));
    }
    // The server writes its audit lines out once a second.
    const QDeadlineTimer deadline(std::chrono::seconds(10));
    while (!deadline.hasExpired()) {
        const auto csv = QCoro::waitFor(client->exportAuditCSV());
        if (csv && csv->count('\n') >= count + 1)
            return {};
        QThread::msleep(100);
    }
    return std::unexpected(QStringLiteral("the export never listed %1 requests").arg(count));
}

} // namespace tavrin::test
