#pragma once

#include <QDateTime>
#include <QObject>

#include <chrono>
#include <deque>

namespace tavrin {

class ServerStateModel;

// One reading of the server's load, as a poll brought it.
struct LoadSample {
    QDateTime at;
    qint64 inFlight = 0;
    qint64 queued = 0;
    bool operator==(const LoadSample&) const = default;
};

// The load over the last ten minutes, from the status every poll already reads: nothing is asked of
// the server for it, and it is kept while no window shows it, so a chart opened later has its past.
class LoadHistory : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::minutes span{10};
    // Polls far quicker than the usual five seconds keep no more than this many readings.
    static constexpr std::size_t mostSamples = 1200;

    explicit LoadHistory(ServerStateModel* model);

    const std::deque<LoadSample>& samples() const { return m_samples; }
    // Appends a reading and forgets those older than the span before it.
    void add(LoadSample sample);

Q_SIGNALS:
    void changed();

private:
    std::deque<LoadSample> m_samples;
};

} // namespace tavrin
