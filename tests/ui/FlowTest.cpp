// A screen's flow resumes only into a screen that is still there, and its count falls however it ends.
// Run under the sanitizers, a flow resuming into a destroyed screen is a use after free.
#include "ui/Flow.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QTest>

#include <memory>

using namespace tavrin;

namespace {

// An action the test ends by hand (QCoro resumes a signal's waiter on the next pass of the event loop).
class Action : public QObject {
    Q_OBJECT
public:
    QCoro::Task<int> result() { co_return co_await qCoro(this, &Action::finish); }
    QCoro::Task<> done() { co_await qCoro(this, &Action::finish); }
Q_SIGNALS:
    void finish(int value);
};

QCoro::Task<int> alreadyDone(int value) { co_return value; }

// Stands in for a screen: its flows write into it after each await.
class Screen : public QObject {
public:
    const ScreenFlows& flows() const { return m_flows; }

    Flow show(Action* action) {
        m_shown = co_await action->result();
        co_await action->done();
        ++m_resumed;
    }
    Flow showAtOnce(int value) { m_shown = co_await alreadyDone(value); }

    int m_shown = 0;
    int m_resumed = 0;

private:
    ScreenFlows m_flows;
};

} // namespace

class FlowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aFlowResumesWithEachResultWhileItsScreenLives() {
        Action action;
        Screen screen;
        screen.show(&action);
        QCOMPARE(screen.flows().running(), 1);
        Q_EMIT action.finish(7);
        QTRY_COMPARE(screen.m_shown, 7);
        QCOMPARE(screen.flows().running(), 1); // waiting for its second action
        Q_EMIT action.finish(0);
        QTRY_COMPARE(screen.m_resumed, 1);
        QCOMPARE(screen.flows().running(), 0);
    }

    void aFlowWhoseScreenWentFirstEndsWhereItWaits_data() {
        QTest::addColumn<int>("finishedBefore"); // actions that ended while the screen was there
        QTest::newRow("gone during the first await") << 0;
        QTest::newRow("gone during the second await") << 1;
    }
    void aFlowWhoseScreenWentFirstEndsWhereItWaits() {
        QFETCH(int, finishedBefore);
        Action action;
        auto screen = std::make_unique<Screen>();
        screen->show(&action);
        if (finishedBefore) {
            Q_EMIT action.finish(7);
            QTRY_COMPARE(screen->m_shown, 7);
        }
        const std::shared_ptr<const ScreenFlows::Life> life = screen->flows().life();
        screen.reset();
        QCOMPARE(life->running, 1); // the action still runs, and the flow waits for it
        Q_EMIT action.finish(8);    // would write into the destroyed screen if the flow resumed
        QTRY_COMPARE(life->running, 0);
    }

    void anActionThatIsAlreadyDoneResumesTheFlowAtOnce() {
        Screen screen;
        screen.showAtOnce(5);
        QCOMPARE(screen.m_shown, 5);
        QCOMPARE(screen.flows().running(), 0);
    }
};

QTEST_GUILESS_MAIN(FlowTest)

#include "FlowTest.moc"
