#pragma once

// The user manager stand-in (tests/support/scripted-systemd.cpp) on the test's private session bus:
// while one of these lives, org.freedesktop.systemd1 answers there; once it is gone, the name is off
// the bus again. Its script methods are asked synchronously: the test, not the panel, waits on them.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace tavrin::test {

class ScriptedSystemd {
public:
    // Starts it; false (and nothing running) when its name did not come onto the bus.
    bool start();
    // Ends it (if it has not ended itself) and waits until its name has left the bus.
    ~ScriptedSystemd();

    // Starts that follow end as a server that exits at once (Result "exit-code").
    bool failStarts(bool fail);
    // The unit's server dies of a signal (Result "signal").
    bool crash(const QString& unit);
    // The next call of `method` ends the manager before it answers.
    bool vanishOn(const QString& method);
    // The Manager methods called so far, in order.
    QStringList calls();
    // Whether it has ended (as VanishOn makes it).
    bool ended() const;

private:
    bool script(const QString& method, const QVariant& argument);

    std::unique_ptr<QProcess> m_process;
};

} // namespace tavrin::test
