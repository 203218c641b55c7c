// What the Updates tab says about the updater's state, without a window.
#include "ui/tabs/UpdatesTabLogic.h"

#include <QTest>

using namespace tavrin;

Q_DECLARE_METATYPE(std::optional<qint64>)

class UpdatesTabLogicTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // No size below one MiB, where it would round to a figure that is not true; whole MB from there.
    void theReleasedLineShowsASizeOnlyFromOneMebibyte_data() {
        QTest::addColumn<std::optional<qint64>>("size");
        QTest::addColumn<QString>("line");
        const QString plain = "Released 2026-12-01T09:00:00Z · stable channel";
        QTest::newRow("absent") << std::optional<qint64>() << plain;
        QTest::newRow("one byte short") << std::optional<qint64>(1048575) << plain;
        QTest::newRow("one MiB") << std::optional<qint64>(1048576) << plain + " · 1 MB";
        QTest::newRow("three MiB") << std::optional<qint64>(3145728) << plain + " · 3 MB";
        QTest::newRow("rounded") << std::optional<qint64>(2936013) << plain + " · 3 MB";
    }
    void theReleasedLineShowsASizeOnlyFromOneMebibyte() {
        QFETCH(std::optional<qint64>, size);
        ClientAppcastRelease release;
        release.publishedAt = "2026-12-01T09:00:00Z";
        release.pkgSize = size;
        QTEST(releasedLine(release, "stable"), "line");
    }

    void channelWordsAreCapitalised_data() {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one word") << "stable" << "Stable";
        QTest::newRow("shouted") << "BETA" << "Beta";
        QTest::newRow("two words") << "early  access" << "Early  Access";
        QTest::newRow("leading digit") << "2nd try" << "2nd Try";
        QTest::newRow("empty") << "" << "";
    }
    void channelWordsAreCapitalised() {
        QFETCH(QString, channel);
        QTEST(channelTitle(channel), "shown");
    }

    // Empty notes say there are none; a check's own error wins over the found-or-not message.
    void notesAndCheckOutcomesFallBackAsTheProductSays() {
        ClientAppcastRelease release;
        QCOMPARE(releaseNotesText(release), "No release notes published.");
        release.releaseNotes = "";
        QCOMPARE(releaseNotesText(release), "No release notes published.");
        release.releaseNotes = "Faster exports.";
        QCOMPARE(releaseNotesText(release), "Faster exports.");

        ClientUpdateCheckResponse response;
        response.status.channel = "stable";
        QCOMPARE(checkOutcome(response), (CheckOutcome{"Up to date.", {}}));
        QCOMPARE(upToDateLine(response.status), "Latest stable on the stable channel · last checked never");
        response.status.availableUpdate = release;
        QCOMPARE(checkOutcome(response), (CheckOutcome{"Update found.", {}}));
        response.error = "feed unreachable";
        QCOMPARE(checkOutcome(response), (CheckOutcome{{}, "feed unreachable"}));
    }
};

QTEST_GUILESS_MAIN(UpdatesTabLogicTest)
#include "UpdatesTabLogicTest.moc"
