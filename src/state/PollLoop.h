#pragma once

#include "protocol/Task.h"

#include <QObject>
#include <QPointer>

namespace tavrin {

class ServerStateModel;

// The model's one poll loop: a cycle (ServerStateModel::refresh) at once, then one each poll interval,
// for as long as the model lives. Starting it again replaces the loop, never adds one: a loop holds
// only a weak reference and checks, each time it wakes, that it is still the current one.
class PollLoop : public QObject {
    Q_OBJECT
public:
    explicit PollLoop(ServerStateModel* model) : m_model(model) {}
    // Wakes a sleeping loop so it sees its model gone and ends, instead of waiting out its interval.
    ~PollLoop() override;

    void start();

Q_SIGNALS:
    // Emitted when a loop is replaced, to wake the old one from its sleep so it can end.
    void replaced();

private:
    static QCoro::Task<void> run(QPointer<PollLoop> loop, quint64 generation);

    ServerStateModel* m_model;
    quint64 m_generation = 0;
};

} // namespace tavrin
