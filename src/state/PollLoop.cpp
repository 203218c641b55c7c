#include "state/PollLoop.h"

#include "state/PollAlarm.h"
#include "state/ServerStateModel.h"

#include <QCoroSignal>

#include <chrono>
#include <cmath>

namespace tavrin {

PollLoop::~PollLoop() {
    Q_EMIT replaced();
}

void PollLoop::start() {
    ++m_generation;
    Q_EMIT replaced();
    run(QPointer<PollLoop>(this), m_generation);
}

// The loop is a member of its model: once the model is gone, so is `loop`.
QCoro::Task<void> PollLoop::run(QPointer<PollLoop> loop, quint64 generation) {
    auto current = [&] { return loop && loop->m_generation == generation; };
    while (current()) {
        co_await loop->m_model->refresh();
        if (!current())
            co_return;

        const auto interval =
            std::chrono::milliseconds(qint64(std::llround(loop->m_model->pollIntervalSeconds() * 1000.0)));
        PollAlarm alarm(interval);
        // Queued, so a loop never resumes inside the call that replaced it or destroyed its model.
        QObject::connect(loop.data(), &PollLoop::replaced, &alarm, &PollAlarm::ring, Qt::QueuedConnection);
        co_await qCoro(&alarm, &PollAlarm::rang);
    }
}

} // namespace tavrin
