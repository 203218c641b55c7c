// Feeds arbitrary bytes to the short path that reads an engine's events, which a hostile engine
// writes. Whatever the short path takes, the strict reader must take too and read the same: the
// short path may leave an event to it, never read one otherwise.

#include "server/engines/UpstreamRecords.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tavrin;

namespace {

// The chunk as a document: plain text the short path left in the event is that text.
QByteArray asDocument(UpstreamChunk chunk) {
    if (chunk.choices)
        for (auto& choice : *chunk.choices)
            if (choice.delta && choice.delta->plainContent)
                choice.delta->content =
                    QString::fromLatin1(choice.delta->plainContent->data(), qsizetype(choice.delta->plainContent->size()));
    return encodeJson(chunk);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view event(reinterpret_cast<const char*>(data), size);
    UpstreamChunk fast;
    if (!readPlainChunk(event, fast))
        return 0;
    const auto strict = decodeJson<UpstreamChunk>(QByteArrayView(event.data(), qsizetype(event.size())));
    if (!strict) {
        std::fprintf(stderr, "the short path took an event the strict reader refuses\n");
        std::abort();
    }
    if (asDocument(fast) != encodeJson(*strict)) {
        std::fprintf(stderr, "the short path read %s, the strict reader %s\n", asDocument(fast).constData(),
                     encodeJson(*strict).constData());
        std::abort();
    }
    return 0;
}
