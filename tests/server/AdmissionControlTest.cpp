// Admission control on its own: order of service, refusals and what the counters report.

#include "server/AdmissionControl.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace tavrin;
using namespace std::chrono_literals;

class AdmissionControlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void waitersAreServedInTheOrderTheyArrived() {
        AdmissionControl admission(1, 3);
        auto first = admission.admit();
        QVERIFY(first);
        std::mutex mutex;
        std::vector<int> served;
        std::vector<std::thread> waiters;
        for (int i = 0; i < 3; ++i) {
            waiters.emplace_back([&, i] {
                auto slot = admission.admit(5s);
                std::lock_guard lock(mutex);
                served.push_back(slot ? i : -1);
            });
            QTRY_COMPARE(admission.stats().queued, qint64(i + 1)); // each in line before the next arrives
        }
        first.reset();
        for (auto& t : waiters)
            t.join();
        QCOMPARE(served, (std::vector<int>{0, 1, 2}));
        const auto stats = admission.stats();
        QCOMPARE(stats.totalCompleted, 4);
        QCOMPARE(stats.totalRejected, 0);
        QCOMPARE(stats.inFlight, 0);
    }

    void aFullQueueRefusesAtOnce() {
        AdmissionControl admission(2, 0);
        auto a = admission.admit();
        auto b = admission.admit();
        QVERIFY(a && b);
        const auto before = std::chrono::steady_clock::now();
        QVERIFY(!admission.admit(5s));
        QVERIFY(std::chrono::steady_clock::now() - before < 1s);
        QCOMPARE(admission.stats().inFlight, 2);
        QCOMPARE(admission.stats().totalRejected, 1);
        a.reset();
        QVERIFY(admission.admit()); // a released slot is free again
    }

    void aWaiterThatGivesUpDoesNotBlockThoseBehindIt() {
        AdmissionControl admission(1, 2);
        auto running = admission.admit();
        std::unique_ptr<AdmissionControl::Slot> impatient;
        std::thread first([&] { impatient = admission.admit(100ms); });
        QTRY_COMPARE(admission.stats().queued, 1);
        std::atomic<bool> patientServed = false;
        std::thread second([&] { patientServed = admission.admit(5s) != nullptr; });
        first.join();
        QVERIFY(!impatient);
        QCOMPARE(admission.stats().totalRejected, 1);
        running.reset();
        second.join();
        QVERIFY(patientServed);
    }
};

QTEST_GUILESS_MAIN(AdmissionControlTest)
#include "AdmissionControlTest.moc"
