#include "control/ServiceManager.h"

#include "base/PrivateFile.h"
#include "control/OffThread.h"
#include "control/ServerBundle.h"
#include "control/SystemdBus.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

#include <unistd.h>

namespace tavrin {

namespace {

// g++ 12 cannot compile a braced list inside a co_await expression; this builds the list instead.
template <class... S> QStringList argv(const S&... words) {
    QStringList list;
    (list.append(QString(words)), ...);
    return list;
}

QString decodeOrEmpty(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// Runs on a worker thread: QProcess's blocking waits are made for exactly that.
ToolRun runBlocking(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return {};
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(10'000))
        return {};
    // A systemctl that hangs (a wedged manager) must not hold a coroutine forever.
    if (!process.waitForFinished(60'000)) {
        process.kill();
        process.waitForFinished(5'000);
        return {};
    }
    ToolRun run;
    run.output = decodeOrEmpty(process.readAllStandardOutput());
    run.errorOutput = decodeOrEmpty(process.readAllStandardError());
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

// The manager's own words, on one line.
QString wordsOf(const ToolRun& run, const QString& program) {
    QString words = run.errorOutput.trimmed();
    words.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!words.isEmpty())
        return words;
    if (run.status == -1)
        return QCoreApplication::translate("ServiceManager", "Could not run %1")
            .arg(program.isEmpty() ? QStringLiteral("systemctl") : program);
    //: %1 is a program ("systemctl"), %2 its exit status.
    return QCoreApplication::translate("ServiceManager", "%1 exited %2")
        .arg(QFileInfo(program).fileName(), QString::number(run.status));
}

// Without a user manager nothing can run, so there is nothing to stop either.
bool noManager(const ToolRun& run) {
    return run.errorOutput.contains(QLatin1String("Failed to connect to bus"));
}

// systemctl's exit status for a unit it has not loaded (LSB's "not installed").
constexpr int unitNotLoadedStatus = 5;

// g++ 12 cannot compile a braced list inside a co_await expression, nor can a coroutine return a
// braced success: these name both.
ManagerResult<> done() {
    return {};
}

QString unescapeWord(const QString& word) {
    QString out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        if (c == QLatin1Char('\\') && i + 1 < word.size()) {
            const QChar n = word[++i];
            if (n == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (n == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else if (n == QLatin1Char('s'))
                out += QLatin1Char(' ');
            else
                out += n;
        } else if (c == QLatin1Char('%') && i + 1 < word.size() && word[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// systemd's word splitting: whitespace separates, double or single quotes group, backslash escapes.
QStringList splitWords(const QString& value) {
    QStringList words;
    QString current;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            current += c;
            current += value[++i];
            inWord = true;
        } else if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                current += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << unescapeWord(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        words << unescapeWord(current);
    return words;
}

bool isValidVariableName(const QString& name) {
    if (name.isEmpty() || name[0].isDigit())
        return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_'))
            return false;
    return true;
}

QString quoteForUnit(const QString& text, bool execLine) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('%'))
            out += QStringLiteral("%%");
        else if (c == QLatin1Char('$') && execLine)
            out += QStringLiteral("$$");
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString shownProperties() {
    return QStringLiteral("--property=LoadState,SubState,MainPID,UnitFileState");
}

// The properties `systemctl show` printed, as "Name=value" lines in any order.
struct ShownUnit {
    QString loadState, subState, mainPID, fileState;

    static ShownUnit parse(const QString& output) {
        ShownUnit shown;
        const std::pair<QLatin1StringView, QString ShownUnit::*> names[] = {
            {QLatin1StringView("LoadState"), &ShownUnit::loadState},
            {QLatin1StringView("SubState"), &ShownUnit::subState},
            {QLatin1StringView("MainPID"), &ShownUnit::mainPID},
            {QLatin1StringView("UnitFileState"), &ShownUnit::fileState},
        };
        for (const QString& line : output.split(QLatin1Char('\n'))) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            for (const auto& [name, field] : names)
                if (line.left(eq) == name)
                    shown.*field = line.mid(eq + 1).trimmed();
        }
        return shown;
    }

    // systemd says 0 when the unit has no main process.
    std::optional<qint32> mainPid() const {
        bool ok = false;
        const int pid = mainPID.toInt(&ok, 10);
        return ok && pid > 0 && mainPID[0].isDigit() ? std::optional<qint32>(pid) : std::nullopt;
    }
};

} // namespace

EnvironmentEntries parseUnitEnvironment(const QString& unitText) {
    EnvironmentEntries entries;
    QString section;
    QStringList lines = unitText.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i].trimmed();
        // A trailing backslash continues the line.
        while (line.endsWith(QLatin1Char('\\')) && i + 1 < lines.size()) {
            line.chop(1);
            line += QLatin1Char(' ') + lines[++i].trimmed();
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        if (section != QLatin1String("Service"))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || line.left(eq).trimmed() != QLatin1String("Environment"))
            continue;
        const QString value = line.mid(eq + 1).trimmed();
        if (value.isEmpty()) { // an empty assignment resets the list, as in systemd
            entries.clear();
            continue;
        }
        for (const QString& word : splitWords(value)) {
            const qsizetype wordEq = word.indexOf(QLatin1Char('='));
            if (wordEq <= 0 || !isValidVariableName(word.left(wordEq)))
                continue;
            entries.append({word.left(wordEq), word.mid(wordEq + 1)});
        }
    }
    return entries;
}

QString renderUserUnit(const QString& serverExecutable, const EnvironmentEntries& environment) {
    QString unit = QStringLiteral(
        "# Installed by Tavrin Keldmarch for start at login; removed when start at login is turned off.\n"
        "[Unit]\n"
        "Description=Tavrin server\n");
    // Once the panel is uninstalled, the unit left in the user's folder is skipped at login
    // instead of failing there, and works again if the panel comes back. A condition's path is
    // taken literally, spaces included; only specifiers need escaping.
    unit += QStringLiteral("ConditionFileIsExecutable=") + QString(serverExecutable).replace(u'%', QStringLiteral("%%")) +
            QStringLiteral("\n"
                           "\n"
                           "[Service]\n"
                           "Type=simple\n");
    unit += QStringLiteral("ExecStart=") + quoteForUnit(serverExecutable, true) + QStringLiteral(" serve\n");
    for (const auto& [name, value] : environment)
        unit += QStringLiteral("Environment=") + quoteForUnit(name + QLatin1Char('=') + value, false) +
                QLatin1Char('\n');
    unit += QStringLiteral("Restart=on-failure\n"
                           "\n"
                           "[Install]\n"
                           "WantedBy=default.target\n");
    return unit;
}

ServiceManager::ServiceManager(QString bundlePath, QString systemctl, QString unitDirectory)
    : m_bundlePath(std::move(bundlePath)), m_systemctl(std::move(systemctl)),
      m_unitDirectory(std::move(unitDirectory)) {
    if (m_systemctl.isEmpty())
        m_systemctl = qEnvironmentVariable("TAVRIN_SYSTEMCTL", QStringLiteral("systemctl"));
    if (!m_systemctl.contains(QLatin1Char('/')))
        m_systemctl = QStandardPaths::findExecutable(m_systemctl); // empty when absent: runs give -1
    if (m_unitDirectory.isEmpty())
        m_unitDirectory = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                          QStringLiteral("/systemd/user");
}

QString ServiceManager::bundleUnitPath() const {
    return m_bundlePath + QStringLiteral("/lib/systemd/user/") + QLatin1String(unitName);
}

QString ServiceManager::installedUnitPath() const {
    return m_unitDirectory + QLatin1Char('/') + QLatin1String(unitName);
}

QString ServiceManager::serverExecutable() const {
    return ServerBundle::serverIn(m_bundlePath);
}

EnvironmentEntries ServiceManager::bundleEnvironment() const {
    QFile file(bundleUnitPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseUnitEnvironment(decodeOrEmpty(file.readAll()));
}

QFuture<ToolRun> ServiceManager::systemctl(const QStringList& args) const {
    QStringList arguments{QStringLiteral("--user"), QStringLiteral("--no-pager")};
    arguments += args;
    return offThread([program = m_systemctl, arguments] { return runBlocking(program, arguments); });
}

ManagerFailure ServiceManager::failureOf(const ToolRun& run) const {
    using R = ManagerFailure::Reason;
    const R reason = noManager(run)                      ? R::noManager
                     : run.status == unitNotLoadedStatus ? R::unitNotLoaded
                                                         : R::refused;
    return ManagerFailure{reason, wordsOf(run, m_systemctl)};
}

QCoro::Task<ManagerResult<>> ServiceManager::step(bool viaBus, QString verb) const {
    const ServiceManager self = *this;
    const QString unit = QLatin1String(unitName);
    if (viaBus) {
        const SystemdBus bus;
        if (verb == QLatin1String("daemon-reload"))
            co_return co_await bus.reload();
        if (verb == QLatin1String("enable"))
            co_return co_await bus.enable(unit);
        if (verb == QLatin1String("disable"))
            co_return co_await bus.disable(unit);
        co_return co_await bus.runJob(verb, unit);
    }
    const QStringList arguments = verb == QLatin1String("daemon-reload") ? argv(verb) : argv(verb, unit);
    const ToolRun run = co_await self.systemctl(arguments);
    if (run.status == 0)
        co_return done();
    co_return std::unexpected(self.failureOf(run));
}

QCoro::Task<AgentStatus> ServiceManager::registration() const {
    const ServiceManager self = *this;
    if (!QFileInfo::exists(self.bundleUnitPath()))
        co_return AgentStatus::notFound;
    if (!QFileInfo::exists(self.installedUnitPath()))
        co_return AgentStatus::notRegistered;
    const SystemdBus bus;
    if (co_await bus.present()) {
        const QString unit = QLatin1String(unitName);
        const ManagerResult<QString> state = co_await bus.unitFileState(unit);
        co_return state && *state == QLatin1String("enabled") ? AgentStatus::enabled : AgentStatus::notRegistered;
    }
    const ToolRun run = co_await self.systemctl(argv(QStringLiteral("is-enabled"), QLatin1String(unitName)));
    co_return run.status == 0 && run.output.trimmed() == QLatin1String("enabled")
        ? AgentStatus::enabled
        : AgentStatus::notRegistered;
}

QCoro::Task<UnitState> ServiceManager::inspect() const {
    const ServiceManager self = *this;
    UnitState unit;
    bool answered = false;
    bool managerMissing = false;
    QString fileState;
    const SystemdBus bus;
    if (co_await bus.present()) {
        const QString name = QLatin1String(unitName);
        const ManagerResult<SystemdUnitProperties> properties = co_await bus.unitProperties(name);
        answered = properties.has_value();
        managerMissing = !properties && properties.error().reason == ManagerFailure::Reason::noManager;
        if (properties) {
            unit.loaded = !properties->loadState.isEmpty() && properties->loadState != QLatin1String("not-found");
            unit.running = properties->subState == QLatin1String("running");
            unit.mainPid = properties->mainPid;
            fileState = properties->unitFileState;
        }
    } else {
        const ToolRun run =
            co_await self.systemctl(argv(QStringLiteral("show"), QLatin1String(unitName), shownProperties()));
        const ShownUnit shown = ShownUnit::parse(run.output);
        answered = run.status == 0;
        managerMissing = noManager(run);
        if (answered) {
            unit.loaded = !shown.loadState.isEmpty() && shown.loadState != QLatin1String("not-found");
            unit.running = shown.subState == QLatin1String("running");
            unit.mainPid = shown.mainPid();
            fileState = shown.fileState;
        }
    }
    if (!QFileInfo::exists(self.bundleUnitPath()))
        unit.registration = AgentStatus::notFound;
    else if (!QFileInfo::exists(self.installedUnitPath()))
        unit.registration = AgentStatus::notRegistered;
    else if (answered)
        unit.registration = fileState == QLatin1String("enabled") ? AgentStatus::enabled : AgentStatus::notRegistered;
    else if (managerMissing)
        unit.registration = co_await self.registration();
    co_return unit;
}

QCoro::Task<ManagerResult<>> ServiceManager::install(EnvironmentEntries environment) const {
    const ServiceManager self = *this;
    const auto refused = [](QString words) {
        return std::unexpected(ManagerFailure{ManagerFailure::Reason::refused, words});
    };
    if (!QFileInfo::exists(self.bundleUnitPath()))
        co_return refused(FileError::fromErrno(self.bundleUnitPath(), ENOENT).message());
    if (auto made = makeDirectories(self.m_unitDirectory); !made)
        co_return refused(made.error().message());
    const QString text = renderUserUnit(self.serverExecutable(), environment);
    if (auto written = writeFilePrivately(self.installedUnitPath(), text.toUtf8()); !written)
        co_return refused(written.error().message());

    const SystemdBus bus;
    const bool viaBus = co_await bus.present();
    const QStringList steps{QStringLiteral("daemon-reload"), QStringLiteral("enable")};
    for (const QString& verb : steps) {
        const ManagerResult<> stepped = co_await self.step(viaBus, verb);
        if (!stepped) {
            const QString disable = QStringLiteral("disable");
            co_await self.step(viaBus, disable); // best effort: the failure above is what is reported
            ::unlink(QFile::encodeName(self.installedUnitPath()).constData());
            co_return stepped;
        }
    }
    co_return done();
}

QCoro::Task<ManagerResult<>> ServiceManager::start() const {
    const ServiceManager self = *this;
    const SystemdBus bus;
    const bool viaBus = co_await bus.present();
    const QString verb = QStringLiteral("start");
    const ManagerResult<> started = co_await self.step(viaBus, verb);
    if (started)
        co_return done();
    const QString disable = QStringLiteral("disable");
    co_await self.step(viaBus, disable);
    ::unlink(QFile::encodeName(self.installedUnitPath()).constData());
    const QString reload = QStringLiteral("daemon-reload");
    co_await self.step(viaBus, reload); // best effort: forget the removed unit
    co_return started;
}

QCoro::Task<ManagerResult<>> ServiceManager::stop() const {
    const ServiceManager self = *this;
    const SystemdBus bus;
    const bool viaBus = co_await bus.present();
    const QString verb = QStringLiteral("stop");
    co_return co_await self.step(viaBus, verb);
}

QCoro::Task<ManagerResult<>> ServiceManager::restart() const {
    const ServiceManager self = *this;
    const SystemdBus bus;
    const bool viaBus = co_await bus.present();
    const QString verb = QStringLiteral("restart");
    co_return co_await self.step(viaBus, verb);
}

QCoro::Task<ManagerResult<>> ServiceManager::uninstall() const {
    const ServiceManager self = *this;
    const SystemdBus bus;
    const bool viaBus = co_await bus.present();
    const bool installed = QFileInfo::exists(self.installedUnitPath());
    if (installed) {
        const QString disable = QStringLiteral("disable");
        const ManagerResult<> disabled = co_await self.step(viaBus, disable);
        if (!disabled)
            co_return disabled;
    }
    const QString stop = QStringLiteral("stop");
    const ManagerResult<> stopped = co_await self.step(viaBus, stop);
    if (!stopped && stopped.error().reason == ManagerFailure::Reason::refused)
        co_return stopped;
    if (installed) {
        if (::unlink(QFile::encodeName(self.installedUnitPath()).constData()) != 0 && errno != ENOENT)
            co_return std::unexpected(
                ManagerFailure{ManagerFailure::Reason::refused,
                               FileError::fromErrno(self.installedUnitPath(), errno).message()});
        const QString reload = QStringLiteral("daemon-reload");
        co_await self.step(viaBus, reload); // best effort: forget the removed unit
    }
    co_return done();
}

} // namespace tavrin
