// Feeds arbitrary bytes to every decoder of the admin records. A decoder may refuse the input, but
// must never crash, whatever it accepts must be JSON to Qt's own parser too, and it must survive an
// encode/decode round trip unchanged.

#include "protocol/ClientRecords.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdint>
#include <cstdlib>

using namespace tavrin;

namespace {

template <class T> void decodeAndRoundTrip(const QByteArray& bytes) {
    const auto decoded = decodeJson<T>(bytes);
    if (!decoded) {
        (void)decoded.error().message();
        return;
    }
    // Whatever is accepted must be JSON to an independent parser too.
    QJsonParseError parseError{};
    QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        std::abort();
    const auto again = decodeJson<T>(encodeJson(*decoded));
    if (!again || !(*again == *decoded) || json::hashOf(*again) != json::hashOf(*decoded))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    decodeAndRoundTrip<ClientServerStatus>(bytes);
    decodeAndRoundTrip<ClientAPIKeyList>(bytes);
    decodeAndRoundTrip<ClientAPIKeyPublic>(bytes);
    decodeAndRoundTrip<ClientCreatedAPIKey>(bytes);
    decodeAndRoundTrip<ClientNetworkPreferences>(bytes);
    decodeAndRoundTrip<ClientAuditLoggingSettings>(bytes);
    decodeAndRoundTrip<ClientOrgPreambleResponse>(bytes);
    decodeAndRoundTrip<ClientUpdaterStatus>(bytes);
    decodeAndRoundTrip<ClientUpdateCheckResponse>(bytes);
    decodeAndRoundTrip<ClientUpdateDownloadResponse>(bytes);
    decodeAndRoundTrip<ClientDiagnosticsResponse>(bytes);
    decodeAndRoundTrip<ClientModelStatus>(bytes);
    decodeAndRoundTrip<ClientHardwareReport>(bytes);
    decodeAndRoundTrip<ClientCompositionStages>(bytes);
    return 0;
}
