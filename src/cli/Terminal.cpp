#include "cli/Terminal.h"

#include <QFile>

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace tavrin::cli {

namespace {

bool progressShown = false;

// What the interrupt handler removes: written only while the handler is disarmed.
char interruptedPath[4096];
volatile std::sig_atomic_t removalArmed = 0;
// The terminal's settings from before a password prompt turned echo off, put back by the handler:
// a Ctrl-C at the prompt must not leave the user's shell typing blind.
termios echoingTerminal{};
volatile std::sig_atomic_t echoArmed = 0;

extern "C" void tidyAndEnd(int signal) {
    if (removalArmed)
        ::unlink(interruptedPath);
    if (echoArmed) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &echoingTerminal);
        (void)!::write(STDERR_FILENO, "\n", 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal); // ends as the signal would have ended it, status included
}

void tidyOnInterrupt() {
    static const bool installed = [] {
        // A signal ignored by whoever started tavrinctl (nohup, a background job) stays ignored.
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            struct sigaction was {};
            if (::sigaction(signal, nullptr, &was) == 0 && was.sa_handler != SIG_IGN)
                std::signal(signal, tidyAndEnd);
        }
        return true;
    }();
    Q_UNUSED(installed);
}

bool isControl(char16_t c) { return (c < 0x20 && c != u'\n' && c != u'\t') || (c >= 0x7f && c <= 0x9f); }

// The index of the last character of the escape sequence that starts at `start` (an ESC): a
// control sequence runs to its final byte, a string (a title, a colour query, a device message) to
// BEL or ST, anything else is ESC and one character. A sequence cut short by a line break ends
// before it, so that no line of a message goes with it.
qsizetype endOfEscape(QStringView text, qsizetype start) {
    qsizetype i = start + 1;
    if (i >= text.size())
        return start;
    const char16_t kind = text[i].unicode();
    if (kind == u'[') {
        for (++i; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x40 && c <= 0x7e)
                return i;
            if (c < 0x20 || c > 0x3f)
                return i - 1;
        }
        return text.size() - 1;
    }
    if (kind == u']' || kind == u'P' || kind == u'X' || kind == u'^' || kind == u'_') {
        for (++i; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == 0x07 || c == 0x9c)
                return i;
            if (c == 0x1b && i + 1 < text.size() && text[i + 1] == u'\\')
                return i + 1;
            if (c == u'\n')
                return i - 1;
        }
        return text.size() - 1;
    }
    return kind == u'\n' ? start : i;
}

// What tavrinctl prints for a person carries text from outside it: a server's error body, a key's
// label, a feed's release notes. A terminal obeys some of those bytes (a new window title, a cleared
// screen, a line rewritten to say something else), so none of them reaches it: control characters
// go, but for line breaks and tabs, and an escape sequence goes whole.
QString printable(QStringView text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == 0x1b)
            i = endOfEscape(text, i);
        else if (!isControl(c))
            kept += text[i];
    }
    return kept;
}

void writeLine(std::FILE* stream, const QString& line) {
    QByteArray bytes = printable(line).toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

void Terminal::out(const QString& line) { writeLine(stdout, line); }

void Terminal::err(const QString& line) {
    endProgress();
    writeLine(stderr, line);
}

bool Terminal::write(QByteArrayView bytes, QString* reason) {
    if (std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stdout) == std::size_t(bytes.size()))
        return true;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool Terminal::flush() { return std::fflush(stdout) == 0; }

bool Terminal::errorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void Terminal::progress(const QString& text) {
    if (!errorIsTerminal())
        return;
    // Back to the line's start, the old text erased.
    std::fputs(("\r\033[K" + printable(text).toUtf8()).constData(), stderr);
    std::fflush(stderr);
    progressShown = true;
}

void Terminal::endProgress() {
    if (!progressShown)
        return;
    std::fputs("\r\033[K", stderr);
    progressShown = false;
}

void Terminal::removeOnInterrupt(const QString& path) {
    tidyOnInterrupt();
    removalArmed = 0;
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty() || encoded.size() >= qsizetype(sizeof interruptedPath))
        return;
    std::memcpy(interruptedPath, encoded.constData(), std::size_t(encoded.size()) + 1);
    removalArmed = 1;
}

QByteArray Terminal::readInput() {
    QByteArray input;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin))
        input.append(buffer, qsizetype(n));
    return input;
}

std::optional<QString> Terminal::readSecretLine(const QString& prompt) {
    termios saved{};
    const bool terminal = ::isatty(STDIN_FILENO) == 1 && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        std::fputs(prompt.toUtf8().constData(), stderr);
        std::fflush(stderr);
        tidyOnInterrupt();
        echoingTerminal = saved;
        echoArmed = 1;
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    int c = 0;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        line.push_back(char(c));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        echoArmed = 0;
        std::fputs("\n", stderr);
    }
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

} // namespace tavrin::cli
