#pragma once

// Realistic admin API answers, whole, as a server sends them: every optional field present.
// Tests mutate them one fault at a time; the benchmark and the fuzzer start from them.

#include <QByteArray>
#include <QStringList>

namespace tavrin::test {

QByteArray fullStatusDocument();
QByteArray keyDocument(int index); // one ClientAPIKeyPublic object
QByteArray keyListDocument(int count);

// An OpenAI-compatible engine's streamed chat answer: one event a piece, the finish, and [DONE].
QByteArray engineEventStream(const QStringList& pieces);

} // namespace tavrin::test
