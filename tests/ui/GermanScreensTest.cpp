// The screens in German: the bundle's catalogue reaches the texts made by the screens' free functions
// and by their widgets (whose messages belong to the widget's class), while what programs read stays
// English.
#include "KitTestMain.h"

#include "base/Translations.h"
#include "ui/ServerFigures.h"
#include "ui/kit/KeyListRow.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/tabs/StatusTabLogic.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/wizard/WizardLogic.h"

#include <QCoreApplication>

using namespace tavrin;

class GermanScreensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        const InstalledTranslations installed =
            installTranslations(*QCoreApplication::instance(), QStringLiteral(TAVRIN_CATALOGUES), {"de"});
        QCOMPARE(installed.language, "de");
        QVERIFY2(installed.unreadable.isEmpty(), qPrintable(installed.unreadable.join(u' ')));
    }

    void theScreensSpeakTheDesktopsLanguage_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("german");
        QTest::newRow("a screen's decision") << statusHeadline(Phase::stopped(), {}).title << "Ihr Server ist gestoppt.";
        QTest::newRow("a sentence with its figures")
            << concurrencyTile(concurrencyStatus()).value << "2 in Arbeit · 5 wartend";
        QTest::newRow("an uptime") << formatUptime(3 * 3600 + 7 * 60).value_or(QString()) << "3 Std. 7 Min.";
        QTest::newRow("the sidebar") << adminTab(AdminTab::keys).label << "API-Schlüssel";
        QTest::newRow("a tab's heading") << adminTab(AdminTab::diagnostics).heading.title << "Diagnose";
        ClientHardwareReport hardware;
        hardware.supportLevel = QStringLiteral("supported");
        QTest::newRow("a level the server sends") << hardwareLook(hardware, false).tiles[2].value << "Unterstützt";
        TRCopyButton copy(copyModelHashName());
        QTest::newRow("a widget's tooltip") << copy.toolTip() << "Kopieren";
        QTest::newRow("a widget's name for screen readers") << copy.accessibleName() << "Modell-Hash kopieren";
        KeyListRowContent key;
        key.label = QStringLiteral("Labor");
        key.revocable = true;
        KeyListRow row(key);
        const auto buttons = row.findChildren<QAbstractButton*>();
        QStringList names;
        for (const QAbstractButton* button : buttons)
            names << button->accessibleName();
        QTest::newRow("a row's buttons named by their key")
            << names.filter(QStringLiteral("Labor")).join(u'|')
            << "Schlüssel Labor widerrufen|Schlüssel Labor erneuern|Schlüssel Labor löschen";
    }
    void theScreensSpeakTheDesktopsLanguage() {
        QFETCH(QString, shown);
        QFETCH(QString, german);
        QCOMPARE(shown, german);
    }

    void aRenderedScreensFileNameStaysEnglish() {
        const AdminScreen& keys = adminTab(AdminTab::keys);
        QCOMPARE(keys.name, "API Keys");
        QCOMPARE_NE(keys.label, keys.name);
    }

private:
    static ClientServerStatus concurrencyStatus() {
        ClientServerStatus status;
        status.concurrency = ClientConcurrencyStats{};
        status.concurrency->inFlight = 2;
        status.concurrency->queued = 5;
        return status;
    }
};

int main(int argc, char** argv) { return runKitTests<GermanScreensTest>(argc, argv); }

#include "GermanScreensTest.moc"
