#include "server/support/AnswerFeed.h"

namespace tavrin {

AnswerFeed::~AnswerFeed() = default;

void AnswerFeed::release(std::unique_lock<std::mutex>& lock) {
    // What is held may be a generation whose end calls back into this feed: let it go unlocked.
    auto held = std::move(m_held);
    m_held.clear();
    auto wake = m_wake;
    lock.unlock();
    held.clear();
    if (wake)
        wake();
}

void AnswerFeed::answer(HttpResponse whole) {
    std::unique_lock lock(m_mutex);
    if (m_ended || m_head)
        return;
    m_whole = std::move(whole);
    m_ended = true;
    release(lock);
}

void AnswerFeed::begin(HttpResponse head) {
    std::unique_lock lock(m_mutex);
    if (m_ended || m_head)
        return;
    m_head = std::move(head);
    auto wake = m_wake;
    lock.unlock();
    if (wake)
        wake();
}

bool AnswerFeed::push(std::string bytes) {
    std::unique_lock lock(m_mutex);
    if (m_abandoned || m_ended || m_bytes.size() + bytes.size() > m_bound)
        return false;
    const bool first = m_bytes.empty();
    if (first)
        m_bytes = std::move(bytes);
    else
        m_bytes += bytes;
    auto wake = first ? m_wake : nullptr; // one wake per batch: the writer takes all there is
    lock.unlock();
    if (wake)
        wake();
    return true;
}

void AnswerFeed::end(std::string last, bool closeConnection) {
    std::unique_lock lock(m_mutex);
    if (m_ended)
        return;
    if (!m_head)
        m_head.emplace(); // an answer ended before it began is an empty 200
    if (m_bytes.empty())
        m_bytes = std::move(last);
    else
        m_bytes += last;
    m_ended = true;
    m_closeConnection = closeConnection;
    release(lock);
}

void AnswerFeed::hold(std::shared_ptr<void> held) {
    std::unique_lock lock(m_mutex);
    if (m_abandoned || m_ended) {
        lock.unlock();
        return; // over already: dropped here, unlocked
    }
    m_held.push_back(std::move(held));
}

AnswerFeed::Taken AnswerFeed::take() {
    std::lock_guard lock(m_mutex);
    Taken taken;
    if (m_whole) {
        taken.whole = std::move(m_whole);
        m_whole.reset();
        return taken;
    }
    if (!m_head)
        return taken; // nothing goes out before the head
    if (!m_headTaken)
        taken.head = *m_head;
    m_headTaken = true;
    taken.bytes = std::move(m_bytes);
    m_bytes.clear();
    taken.ended = m_ended;
    taken.closeConnection = m_closeConnection;
    return taken;
}

void AnswerFeed::watch(std::function<void()> wake) {
    std::unique_lock lock(m_mutex);
    m_wake = std::move(wake);
    const bool ready = m_whole || m_head || m_ended;
    auto now = ready ? m_wake : nullptr;
    lock.unlock();
    if (now)
        now();
}

void AnswerFeed::abandon() {
    std::unique_lock lock(m_mutex);
    m_abandoned = true;
    m_wake = nullptr;
    auto held = std::move(m_held);
    m_held.clear();
    lock.unlock();
}

} // namespace tavrin
