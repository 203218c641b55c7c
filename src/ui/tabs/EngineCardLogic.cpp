#include "ui/tabs/EngineCardLogic.h"

#include "state/EngineActions.h"

#include <QCoreApplication>
#include <QLocale>

namespace tavrin {

EngineChoice engineChoiceOf(const ClientEngineSettings& settings) {
    return settings.kind == QLatin1StringView(EngineActions::openaiKind) ? EngineChoice::openai : EngineChoice::builtin;
}

EngineFieldTexts fieldTextsOf(const ClientEngineSettings& settings) {
    const QString timeout = settings.timeoutSeconds ? QString::number(*settings.timeoutSeconds) : QString();
    return {settings.url.value_or(QString()), settings.model.value_or(QString()), settings.servedName.value_or(QString()),
            settings.keyFile.value_or(QString()), timeout};
}

ClientEngineSettings settingsToSend(ClientEngineSettings held, const EngineFieldTexts& typed) {
    const auto given = [](const QString& text) {
        const QString trimmed = text.trimmed();
        return trimmed.isEmpty() ? std::nullopt : std::optional(trimmed);
    };
    held.kind = QLatin1StringView(EngineActions::openaiKind);
    held.url = given(typed.url);
    held.model = given(typed.model);
    held.servedName = given(typed.servedName);
    held.keyFile = given(typed.keyFile);
    // The field takes a few digits alone (the server judges the range and says it in its words).
    held.timeoutSeconds = std::nullopt;
    if (const std::optional<QString> timeout = given(typed.timeoutSeconds)) {
        bool whole = false;
        if (const qint64 seconds = timeout->toLongLong(&whole); whole)
            held.timeoutSeconds = seconds;
    }
    return held;
}

QString engineTestTimes(const ClientEngineTestResult& result) {
    const QLocale locale;
    return QCoreApplication::translate("EngineCardLogic", "First token in %1 ms · whole answer in %2 ms.")
        .arg(locale.toString(result.firstPieceMilliseconds), locale.toString(result.totalMilliseconds));
}

} // namespace tavrin
