// Server parts under concurrent use. Admission control: order of service and waiters that give up
// (a full queue's refusal is UpstreamEngineTest's, over HTTP). The key store while keys.json is
// being written: requests are authenticated and counted meanwhile, nothing counted then is lost,
// and the file's versions land in order.

#include "server/runtime/AdmissionControl.h"
#include "server/stores/KeyStore.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace tavrin;
using namespace std::chrono_literals;

namespace {

// A writer that records every version of the file and, while armed, holds a write open until
// released, as a slow disk would.
struct StallingWriter {
    std::mutex mutex;
    std::condition_variable changed;
    bool armed = false;
    bool stalled = false;
    std::vector<QByteArray> versions;

    KeyStore::Writer writer() {
        return [this](const QByteArray& json) -> std::expected<void, QString> {
            std::unique_lock lock(mutex);
            versions.push_back(json);
            stalled = armed;
            changed.notify_all();
            changed.wait(lock, [&] { return !armed; });
            stalled = false;
            return {};
        };
    }
    void arm() {
        std::lock_guard lock(mutex);
        armed = true;
    }
    bool waitUntilStalled() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return stalled; });
    }
    void release() {
        std::lock_guard lock(mutex);
        armed = false;
        changed.notify_all();
    }
    std::vector<StoredAPIKey> last() {
        std::lock_guard lock(mutex);
        return decodeJson<std::vector<StoredAPIKey>>(versions.back()).value_or(std::vector<StoredAPIKey>{});
    }
};

} // namespace

class ConcurrencyTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void waitersAreServedInTheOrderTheyArrived() {
        AdmissionControl admission(1, 3);
        auto first = admission.admit({});
        QVERIFY(first.slot && !first.place);
        std::vector<int> served;
        std::vector<std::unique_ptr<AdmissionControl::Place>> line;
        for (int i = 0; i < 3; ++i) {
            // Each turn lets its slot go at once, which hands it to the next in line.
            auto waiting = admission.admit([&served, i](std::unique_ptr<AdmissionControl::Slot> slot) {
                served.push_back(slot ? i : -1);
            });
            QVERIFY(!waiting.slot && waiting.place);
            line.push_back(std::move(waiting.place));
            QCOMPARE(admission.stats().queued, qint64(i + 1));
        }
        auto beyond = admission.admit([&served](std::unique_ptr<AdmissionControl::Slot>) { served.push_back(99); });
        QVERIFY(!beyond.slot && !beyond.place);
        QVERIFY(served.empty());
        first.slot.reset();
        QCOMPARE(served, (std::vector<int>{0, 1, 2}));
        const auto stats = admission.stats();
        QVERIFY(stats.totalCompleted == 4 && stats.totalRejected == 1 && stats.inFlight == 0 && stats.queued == 0);
        for (auto& place : line)
            QVERIFY(!place->giveUp()); // served: there is nothing left to give up
    }

    void aWaiterThatGivesUpDoesNotBlockThoseBehindIt() {
        AdmissionControl admission(1, 3);
        auto running = admission.admit({});
        bool othersServed = false;
        std::unique_ptr<AdmissionControl::Slot> patientSlot;
        auto impatient = admission.admit([&](std::unique_ptr<AdmissionControl::Slot>) { othersServed = true; });
        auto leaving = admission.admit([&](std::unique_ptr<AdmissionControl::Slot>) { othersServed = true; });
        auto patient = admission.admit([&](std::unique_ptr<AdmissionControl::Slot> slot) { patientSlot = std::move(slot); });
        QVERIFY(impatient.place && leaving.place && patient.place);
        QVERIFY(impatient.place->refuse()); // its patience ran out: refused, and counted so
        leaving.place.reset();               // its client went: neither served nor refused
        QVERIFY(admission.stats().totalRejected == 1 && admission.stats().queued == 1);
        running.slot.reset();
        QVERIFY(!othersServed && patientSlot);
        QCOMPARE(admission.stats().inFlight, 1);
        patient.place.reset(); // served already: dropping the place gives nothing back
        QCOMPARE(admission.stats().inFlight, 1);
        patientSlot.reset();
        QVERIFY(admission.stats().inFlight == 0 && admission.stats().totalCompleted == 2);
    }

    void requestsAreServedAndCountedWhileAKeyChangeIsWritten() {
        StallingWriter disk;
        auto store = KeyStore::open(*StateStore::open(m_dir.filePath(QStringLiteral("a"))), disk.writer());
        QVERIFY(store);
        KeyStore& keys = **store;
        const auto issued = keys.create(QStringLiteral("in use"), std::nullopt);
        QVERIFY(issued);

        disk.arm();
        auto change = std::async(std::launch::async, [&] { return keys.create(QStringLiteral("new"), std::nullopt); });
        QVERIFY(disk.waitUntilStalled());
        auto request = std::async(std::launch::async, [&] {
            const auto grant = keys.authenticate(issued->key);
            keys.recordUse(issued->record.id, QStringLiteral("10.0.0.9"), 5, 7);
            return grant.has_value();
        });
        const bool served = request.wait_for(10s) == std::future_status::ready;
        disk.release();
        QVERIFY2(served, "an inference request waited for keys.json to be written");
        QVERIFY(request.get() && change.get());

        // The count made during the write survives the change, in memory and on disk.
        const auto listed = keys.list();
        QVERIFY(listed.size() == 2 && listed[0].totalRequests == 1 && listed[0].lastClientIP == std::optional<QString>("10.0.0.9"));
        QVERIFY(keys.flush());
        const auto written = disk.last();
        QVERIFY(written.size() == 2 && written[0].record == listed[0]);
    }

    void concurrentChangesReachTheFileInOrder() {
        StallingWriter disk;
        auto store = KeyStore::open(*StateStore::open(m_dir.filePath(QStringLiteral("b"))), disk.writer());
        QVERIFY(store);
        std::atomic<int> refused = 0;
        std::vector<std::thread> admins;
        for (int t = 0; t < 6; ++t)
            admins.emplace_back([&] {
                for (int i = 0; i < 5; ++i) {
                    const auto created = (*store)->create(QStringLiteral("k"), std::nullopt);
                    refused += created ? 0 : 1;
                    if (created)
                        (*store)->recordUse(created->record.id, QString(), 1, 1);
                    (void)(*store)->flush();
                }
            });
        for (auto& t : admins)
            t.join();
        QCOMPARE(refused.load(), 0);
        std::size_t previous = 0;
        for (const QByteArray& version : disk.versions) {
            const std::size_t count = decodeJson<std::vector<StoredAPIKey>>(version)->size();
            QVERIFY2(count >= previous, "an older list of keys was written after a newer one");
            previous = count;
        }
        QCOMPARE(previous, std::size_t(30));
        QVERIFY((*store)->flush());
        for (const auto& key : disk.last())
            QCOMPARE(key.record.totalRequests, 1); // no use counted during another write was lost
    }
};

QTEST_GUILESS_MAIN(ConcurrencyTest)
#include "ConcurrencyTest.moc"
