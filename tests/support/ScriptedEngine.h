#pragma once

// What an OpenAI-compatible engine sends, for a ScriptedHttpServer to play: its event stream's
// chunks (a piece, the finish, the usage), a whole stream ending with [DONE], and its model list.

#include "support/ScriptedHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <optional>
#include <utility>

namespace tavrin::test {

inline QByteArray engineEvent(const QJsonObject& chunk) {
    return "data: " + QJsonDocument(chunk).toJson(QJsonDocument::Compact) + "\n\n";
}

inline QByteArray pieceEvent(const QString& text) {
    return engineEvent({{"choices", QJsonArray{QJsonObject{{"index", 0}, {"delta", QJsonObject{{"content", text}}}}}}});
}

inline QByteArray finishEvent() {
    return engineEvent({{"choices", QJsonArray{QJsonObject{{"index", 0}, {"delta", QJsonObject{}}, {"finish_reason", "stop"}}}}});
}

inline QByteArray usageEvent(qint64 prompt, qint64 completion) {
    return engineEvent({{"choices", QJsonArray{}},
                        {"usage", QJsonObject{{"prompt_tokens", prompt}, {"completion_tokens", completion},
                                              {"total_tokens", prompt + completion}}}});
}

// An engine's whole event stream: the pieces, the finish, the usage when given, and [DONE].
inline QByteArray eventStream(const QStringList& pieces,
                              std::optional<std::pair<qint64, qint64>> usage = std::pair<qint64, qint64>{31, 17}) {
    QByteArray out;
    for (const auto& piece : pieces)
        out += pieceEvent(piece);
    out += finishEvent();
    if (usage)
        out += usageEvent(usage->first, usage->second);
    return out + "data: [DONE]\n\n";
}

inline ScriptedResponse streamed(const QByteArray& body) { return ScriptedResponse::json(200, body).withType("text/event-stream"); }

// GET /models, listing `model`.
inline ScriptedResponse modelListOf(const QString& model) {
    const QJsonObject list{{"object", "list"}, {"data", QJsonArray{QJsonObject{{"id", model}, {"object", "model"}}}}};
    return ScriptedResponse::json(200, QJsonDocument(list).toJson(QJsonDocument::Compact));
}

} // namespace tavrin::test
