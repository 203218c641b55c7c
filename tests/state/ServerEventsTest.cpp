// What the panel tells its user of without a window, as the state layer sees the real reference
// server: here, audit mode starting to refuse requests, told once however many polls see it, and
// in what words.
#include "state/ActionWords.h"
#include "state/ServerEvents.h"
#include "support/ModelFixture.h"

#include <QSignalSpy>

using namespace tavrin;

class ServerEventsTest : public QObject, protected ModelFixture {
    Q_OBJECT

    void poll(int cycles) {
        for (int i = 0; i < cycles; ++i)
            QCoro::waitFor(model->refresh());
    }
    bool setMode(ClientAuditMode mode) { return bool(QCoro::waitFor(client->updateLoggingSettings({mode, 30, false}))); }

private Q_SLOTS:
    void cleanup() { stopModel(); }

    // An audit log with no room at all: every status in audit mode says requests are refused. The
    // event goes out once; a status without it (privacy mode) ends the episode, so the next one is
    // told again; a server gone and back while still refusing is the same episode.
    void auditRefusalsAreToldOnceAndAgainOnlyAfterTheyEnded() {
        startServer({{"--audit-max-bytes", "0"}});
        ServerEvents events(model.get());
        QSignalSpy told(&events, &ServerEvents::auditRefusing);
        poll(2);
        QCOMPARE(told.size(), 0);

        QVERIFY(setMode(ClientAuditMode::audit));
        poll(4);
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0][0].toString(), "it is at its size limit");
        QCOMPARE(model->status()->auditUnavailable.value_or("(none)"), "it is at its size limit");

        QVERIFY(server->stop());
        pollUntilStopped();
        TAVRIN_REQUIRE(server->start({{"--audit-max-bytes", "0"}}));
        poll(3);
        QCOMPARE(told.size(), 1);

        QVERIFY(setMode(ClientAuditMode::privacy));
        poll(3);
        QCOMPARE(told.size(), 1);
        QVERIFY(setMode(ClientAuditMode::audit));
        poll(3);
        QCOMPARE(told.size(), 2);
    }

    // Why audit mode refuses requests, in the server's words, reads as a sentence under one title.
    void anAuditRefusalReadsAsASentence_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("full") << "it is at its size limit" << "It is at its size limit.";
        QTest::newRow("a file system error") << "cannot append to it: No space left on device"
                                             << "Cannot append to it: No space left on device.";
        QTest::newRow("already a sentence") << " Its disk is nearly full. " << "Its disk is nearly full.";
    }
    void anAuditRefusalReadsAsASentence() {
        QFETCH(QString, reason);
        QFETCH(QString, message);
        const AuditRefusalText text = auditRefusalText(reason);
        QCOMPARE(text.title, "Audit log can't be written: requests are being refused.");
        QCOMPARE(text.message, message);
    }
};

QTEST_GUILESS_MAIN(ServerEventsTest)
#include "ServerEventsTest.moc"
