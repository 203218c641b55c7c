#include "control/ServiceManager.h"

#include <QTest>

using namespace tavrin;

class UnitEnvironmentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsServiceEnvironmentAsSystemdDoes() {
        const std::pair<QString, EnvironmentEntries> cases[] = {
            {"[Service]\nEnvironment=A=1 B=two\n", {{"A", "1"}, {"B", "two"}}},
            {"[Service]\nEnvironment=\"A=a b\" 'B=c \"d\"'\n", {{"A", "a b"}, {"B", "c \"d\""}}},
            {"[Service]\nEnvironment=\"A=x\\\"y\\\\z\" B=50%%\n", {{"A", "x\"y\\z"}, {"B", "50%"}}},
            {"[Service]\nEnvironment=A=1\nEnvironment=B=2\n", {{"A", "1"}, {"B", "2"}}}, // lines accumulate
            {"[Service]\nEnvironment=A=1\nEnvironment=\nEnvironment=B=2\n", {{"B", "2"}}}, // empty one resets
            {"[Unit]\nEnvironment=A=1\n[Service]\nEnvironment=B=2\n[Install]\nEnvironment=C=3\n", {{"B", "2"}}},
            {"[Service]\n# Environment=A=1\nEnvironment=1X=2 NOEQUALS =v OK_1=y\n", {{"OK_1", "y"}}},
            {"[Service]\nEnvironment=A=1 \\\n  B=2\n", {{"A", "1"}, {"B", "2"}}}, // a continued line
            {"[Service]\nEnvironment=EMPTY=\n", {{"EMPTY", ""}}},
            {"", {}}};
        for (const auto& [unit, expected] : cases)
            QCOMPARE(parseUnitEnvironment(unit), expected);
    }

    void renderedUnitReadsBackTheSameEntries() {
        const EnvironmentEntries entries{{"SPACES", "a b  c"},   {"QUOTES", "say \"hi\" it's"},
                                         {"PERCENT", "100%"},    {"DOLLAR", "$HOME"},
                                         {"BACKSLASH", "C:\\x"}, {"EMPTY", ""}};
        const QString unit = renderUserUnit(QStringLiteral("/opt/a b/libexec/tavrin-server"), entries);
        QCOMPARE(parseUnitEnvironment(unit), entries);
        QVERIFY(unit.contains(QStringLiteral("\nExecStart=\"/opt/a b/libexec/tavrin-server\" serve\n")));
        // An uninstalled panel's unit is skipped at login, not failed over and over.
        QVERIFY(unit.contains(QStringLiteral("\n[Unit]\nDescription=Tavrin server\nConditionFileIsExecutable=/opt/a b/libexec/tavrin-server\n")));
        QVERIFY(unit.contains(QStringLiteral("\nWantedBy=default.target\n")));
    }
};

QTEST_GUILESS_MAIN(UnitEnvironmentTest)
#include "UnitEnvironmentTest.moc"
