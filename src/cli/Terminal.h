#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tavrin::cli {

// tavrinctl's standard streams. Standard output carries what a command gives (a record, a secret, an
// export) and standard error what it says about it, so that a script can keep the one and show the
// other.
class Terminal {
public:
    // A line of text, or lines; a newline ends them. Control characters and escape sequences in it
    // never reach the stream (the text may be a server's): only line breaks and tabs pass.
    static void out(const QString& line);
    static void err(const QString& line);
    // Bytes as they are, for a program or a file rather than a person; false with the system's reason when standard output will not take them.
    static bool write(QByteArrayView bytes, QString* reason = nullptr);
    static bool flush();

    static bool errorIsTerminal();
    // A line on standard error rewritten in place: only on a terminal, never into a file or a pipe.
    static void progress(const QString& text);
    static void endProgress();

    // Until the next call, an interrupt (Ctrl-C, a hang-up, a SIGTERM) removes `path` before tavrinctl
    // ends, so that no part of an export is left behind; an empty path removes nothing.
    static void removeOnInterrupt(const QString& path);

    // Standard input whole (for a preamble), or its first line without the line break (for a
    // password), read without echo on a terminal after `prompt` on standard error.
    static QByteArray readInput();
    static std::optional<QString> readSecretLine(const QString& prompt);
};

} // namespace tavrin::cli
