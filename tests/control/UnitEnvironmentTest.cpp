#include "control/ServiceManager.h"

#include <QTest>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::EnvironmentEntries)

class UnitEnvironmentTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsServiceEnvironmentAsSystemdDoes_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<EnvironmentEntries>("expected");
        using E = EnvironmentEntries;
        QTest::newRow("plain") << "[Service]\nEnvironment=A=1 B=two\n" << E{{"A", "1"}, {"B", "two"}};
        QTest::newRow("quoted with spaces") << "[Service]\nEnvironment=\"A=a b\" 'B=c \"d\"'\n"
                                            << E{{"A", "a b"}, {"B", "c \"d\""}};
        QTest::newRow("escapes and specifier") << "[Service]\nEnvironment=\"A=x\\\"y\\\\z\" B=50%%\n"
                                               << E{{"A", "x\"y\\z"}, {"B", "50%"}};
        QTest::newRow("several lines accumulate") << "[Service]\nEnvironment=A=1\nEnvironment=B=2\n"
                                                  << E{{"A", "1"}, {"B", "2"}};
        QTest::newRow("empty assignment resets")
            << "[Service]\nEnvironment=A=1\nEnvironment=\nEnvironment=B=2\n"
            << E{{"B", "2"}};
        QTest::newRow("other sections ignored")
            << "[Unit]\nEnvironment=A=1\n[Service]\nEnvironment=B=2\n[Install]\nEnvironment=C=3\n"
            << E{{"B", "2"}};
        QTest::newRow("comments and bad names skipped")
            << "[Service]\n# Environment=A=1\nEnvironment=1X=2 NOEQUALS =v OK_1=y\n"
            << E{{"OK_1", "y"}};
        QTest::newRow("continued line") << "[Service]\nEnvironment=A=1 \\\n  B=2\n"
                                        << E{{"A", "1"}, {"B", "2"}};
        QTest::newRow("empty value kept") << "[Service]\nEnvironment=EMPTY=\n" << E{{"EMPTY", ""}};
        QTest::newRow("no unit text") << "" << E{};
    }
    void readsServiceEnvironmentAsSystemdDoes() {
        QFETCH(QString, unit);
        QFETCH(EnvironmentEntries, expected);
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
