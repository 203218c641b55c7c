#include "state/LoadHistory.h"

#include "state/ServerStateModel.h"

namespace tavrin {

LoadHistory::LoadHistory(ServerStateModel* model) {
    connect(model, &ServerStateModel::statusChanged, this, [this, model] {
        if (const auto& status = model->status(); status && status->concurrency)
            add({QDateTime::currentDateTimeUtc(), status->concurrency->inFlight, status->concurrency->queued});
    });
}

void LoadHistory::add(LoadSample sample) {
    const QDateTime oldest = sample.at.addSecs(-std::chrono::duration_cast<std::chrono::seconds>(span).count());
    m_samples.push_back(std::move(sample));
    while (!m_samples.empty() && (m_samples.front().at < oldest || m_samples.size() > mostSamples))
        m_samples.pop_front();
    Q_EMIT changed();
}

} // namespace tavrin
