#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace tavrin {

// What the poll loop sleeps on between cycles: it rings when the interval is over, or earlier when
// the loop must end (replaced by a newer one, or its model gone). QTimer's own timeout is a private
// signal, which a coroutine cannot await cleanly, so the loop awaits this public one instead.
class PollAlarm : public QObject {
    Q_OBJECT
public:
    explicit PollAlarm(std::chrono::milliseconds after) {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &PollAlarm::ring);
        m_timer.start(after);
    }

    void ring() {
        m_timer.stop();
        Q_EMIT rang();
    }

Q_SIGNALS:
    void rang();

private:
    QTimer m_timer;
};

} // namespace tavrin
