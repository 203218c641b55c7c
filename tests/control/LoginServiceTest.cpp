#include "control/LoginService.h"

#include <QTest>

using namespace tavrin;

// What the product makes of the service manager's answers, in the cases no scripted manager gives the
// controller's own tests (test-daemon-process-controller walks the rest).
class LoginServiceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The unit's own main process first, then a child's; a unit systemd has not loaded runs nothing.
    void aRefreshReportsTheServiceThenTheChild() {
        using A = AgentStatus;
        const std::tuple<UnitState, std::optional<qint32>, ServiceStatusSnapshot> rows[] = {
            {{A::enabled, true, true, 4321}, 77, {true, true, 4321}},
            {{A::enabled, true, false, 4321}, std::nullopt, {true, true, 4321}}, // a main process runs
            {{A::enabled, true, true, std::nullopt}, 77, {true, true, 77}},
            {{A::enabled, false, true, 4321}, std::nullopt, {true, false, std::nullopt}}};
        for (const auto& [unit, child, expected] : rows)
            QCOMPARE(statusSnapshot(unit, child), expected);
    }
};

QTEST_GUILESS_MAIN(LoginServiceTest)
#include "LoginServiceTest.moc"
