// What the panel tells its user of without a window, as the state layer sees the real reference
// server: here, audit mode starting to refuse requests, told once however many polls see it, and
// in what words.
#include "state/ActionWords.h"
#include "state/ServerEvents.h"
#include "support/HttpProbe.h"
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

    // An engine its checks cannot reach is told of once, in words naming it and why; one that was
    // never checked yet is no news, and another engine starts afresh.
    void anEngineThatStopsAnsweringIsToldOnce() {
        startServer();
        ServerEvents events(model.get());
        QSignalSpy told(&events, &ServerEvents::engineNotAnswering);
        poll(2);
        QCOMPARE(told.size(), 0); // the built-in engine always answers

        ClientEngineSettings nowhere;
        nowhere.kind = "openai";
        nowhere.url = QString("http://127.0.0.1:%1/v1").arg(test::freeLoopbackPort());
        nowhere.model = "tide-7b";
        TAVRIN_REQUIRE(QCoro::waitFor(client->updateEngineSettings(nowhere)));
        // Its first check comes on its own; until then nothing is told.
        QTRY_VERIFY_WITH_TIMEOUT((poll(1), model->status()->engine->checkedAt.has_value()), 15000);
        poll(3);
        QCOMPARE(told.size(), 1);
        const auto engine = told[0][0].value<ClientEngineHealth>();
        QVERIFY(!engine.reachable && engine.url == nowhere.url);
        const EngineDownText text = engineDownText(engine);
        QCOMPARE(text.title, "The engine stopped answering");
        QVERIFY2(text.message.startsWith("tide-7b · " + *nowhere.url + " does not answer. ") &&
                     text.message.endsWith(". Requests fail until it does."),
                 qPrintable(text.message));

        ClientEngineSettings builtin;
        builtin.kind = "builtin";
        TAVRIN_REQUIRE(QCoro::waitFor(client->updateEngineSettings(builtin)));
        poll(2);
        QCOMPARE(told.size(), 1);
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
