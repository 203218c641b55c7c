#include "server/runtime/ServerContext.h"

#include "server/stores/EngineKeyFile.h"

namespace tavrin {

QString serverVersion() { return QStringLiteral(TAVRIN_SERVER_VERSION); }

std::expected<std::shared_ptr<InferenceEngine>, QString> makeEngineFor(const ServerContext& context,
                                                                       const ClientEngineSettings& settings) {
    if (auto valid = ServerSettings::validateEngine(settings); !valid)
        return std::unexpected(valid.error());
    std::optional<std::string> key;
    if (settings.keyFile) {
        auto read = EngineKeyFile::read(*settings.keyFile);
        if (!read)
            return std::unexpected(read.error());
        key = std::move(*read);
    }
    return context.makeEngine(settings, std::move(key));
}

} // namespace tavrin
