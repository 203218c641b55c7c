#pragma once

#include <QMetaType>
#include <QString>

namespace tavrin {

// The server's state as the user sees it. Written only by ServerStateModel::refresh().
struct Phase {
    enum class Kind { error, unknown, probing, stopped, running, unauthenticated };

    Kind kind = Kind::unknown;
    QString message; // only for Kind::error: the failure's user-facing text

    static Phase error(QString message) { return {Kind::error, std::move(message)}; }
    static Phase unknown() { return {Kind::unknown, {}}; }
    static Phase probing() { return {Kind::probing, {}}; }
    static Phase stopped() { return {Kind::stopped, {}}; }
    static Phase running() { return {Kind::running, {}}; }
    static Phase unauthenticated() { return {Kind::unauthenticated, {}}; }

    bool operator==(const Phase&) const = default;
};

} // namespace tavrin

Q_DECLARE_METATYPE(tavrin::Phase)
