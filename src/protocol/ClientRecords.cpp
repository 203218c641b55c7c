#include "protocol/ClientRecords.h"

namespace tavrin {

Decoded<ClientAPIKeyList> decodeKeyList(const QByteArray& bytes) {
    return decodeJson<ClientAPIKeyList>(bytes, "keys");
}

} // namespace tavrin
