#pragma once

#include "control/DaemonProcessController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A throw-away install laid out like the real one: libexec/tavrin-server and the login unit under
// lib/systemd/user. Its folder name has a space, as install paths often do.
class TestBundle {
public:
    TestBundle() { QDir().mkpath(path()); }

    QString path() const { return m_root.path() + QStringLiteral("/Tavrin Keldmarch"); }
    QString server() const { return path() + QStringLiteral("/libexec/tavrin-server"); }
    QString unit() const { return path() + QStringLiteral("/lib/systemd/user/com.tavrinai.server.service"); }

    bool installServer(const QString& program) const {
        QDir().mkpath(path() + QStringLiteral("/libexec"));
        QFile::remove(server());
        return QFile::copy(program, server());
    }

    // libexec/tavrin-server as a script that execs `program` (same process id) with the arguments it
    // was given, then `extra`.
    bool installWrapper(const QString& program, const QString& extra) const {
        QDir().mkpath(path() + QStringLiteral("/libexec"));
        QFile wrapper(server());
        if (!wrapper.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        wrapper.write(QStringLiteral("#!/bin/sh\nexec '%1' \"$@\" %2\n").arg(program, extra).toUtf8());
        wrapper.close();
        return wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // libexec/tavrin-server as a link to `program`: the server runs as `program` itself.
    bool linkServer(const QString& program) const {
        QDir().mkpath(path() + QStringLiteral("/libexec"));
        QFile::remove(server());
        return QFile::link(program, server());
    }

#ifdef SCRIPTED_SYSTEMCTL
    // A controller of this bundle driving the scripted systemctl, its state folder and logs in `scratch`.
    tavrin::DaemonProcessControllerOptions controllerOptions(const QString& scratch, bool atRequiredLocation = false) const {
        return controllerOptionsFor(path(), scratch, atRequiredLocation);
    }
    static tavrin::DaemonProcessControllerOptions controllerOptionsFor(const QString& bundle, const QString& scratch,
                                                                       bool atRequiredLocation = false) {
        tavrin::DaemonProcessControllerOptions o;
        o.bundlePath = bundle;
        if (atRequiredLocation)
            o.requiredBundlePath = bundle;
        o.systemctl = QStringLiteral(SCRIPTED_SYSTEMCTL);
        o.stateDirectory = scratch + QStringLiteral("/state/Tavrin Server");
        o.standardOutputLog = scratch + QStringLiteral("/out.log");
        o.standardErrorLog = scratch + QStringLiteral("/err.log");
        return o;
    }
#endif

    bool writeUnit(const QByteArray& text) const {
        QDir().mkpath(path() + QStringLiteral("/lib/systemd/user"));
        QFile file(unit());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
    }

private:
    QTemporaryDir m_root;
};
