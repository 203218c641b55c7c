#include "control/CompanionModelLocator.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

class CompanionModelLocatorTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_root;

    QString folder(const QString& name) const {
        const QString path = m_root->path() + QLatin1Char('/') + name;
        QDir().mkpath(path);
        return path;
    }
    // Existence is all that counts: an empty file is a model.
    static void putModel(const QString& folderPath, const QString& relative = QStringLiteral("model.safetensors")) {
        QDir().mkpath(QFileInfo(folderPath + QLatin1Char('/') + relative).path());
        QFile(folderPath + QLatin1Char('/') + relative).open(QIODevice::WriteOnly);
    }
    QStringList candidates() const { return {folder(QStringLiteral("first")), folder(QStringLiteral("second"))}; }
    static QString stored() { return QSettings().value(QLatin1StringView(CompanionModelLocator::folderSetting)).toString(); }

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
        QCoreApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch"));
    }
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QSettings().remove(QLatin1StringView(CompanionModelLocator::folderSetting));
    }

    // It starts on the first candidate that holds the model (the first of all when none does) and
    // claims nothing before its check, which finds a model that appeared since and stores the folder.
    void startsOnTheFirstQualifyingCandidateAndStoresWhatTheCheckFinds() {
        QCOMPARE(CompanionModelLocator(candidates()).folderPath(), candidates()[0]);
        putModel(candidates()[1], QStringLiteral("ModelResources/model.safetensors"));
        CompanionModelLocator locator(candidates());
        QCOMPARE(locator.folderPath(), candidates()[1]);
        QVERIFY(!locator.found() && !locator.checked() && locator.errorText().isEmpty() && stored().isEmpty());

        CompanionModelLocator later({candidates()[0], folder(QStringLiteral("third"))});
        putModel(folder(QStringLiteral("third")));
        QSignalSpy folderChanged(&later, &CompanionModelLocator::folderPathChanged);
        later.check();
        QVERIFY(later.checked() && later.found() && later.errorText().isEmpty());
        QCOMPARE(folderChanged.count(), 1);
        QCOMPARE(stored(), folder(QStringLiteral("third")));
    }

    // "Open Folder" shows a folder the user can drop the bundle into: the one shown, made if missing,
    // else the user's own candidate (the last), made if missing; when neither can be made, it says so.
    void theFolderToPutTheModelInIsMadeWhereTheUserCanWrite_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("made"); // empty: none could be
        QTest::newRow("the shown folder, missing") << "shown/deep" << "own" << "shown/deep";
        QTest::newRow("a system folder") << "/proc/no-such/resources" << "own/resources" << "own/resources";
        QTest::newRow("the shown one is the user's own") << "own" << "own" << "own";
        QTest::newRow("neither") << "/proc/no-such/resources" << "/proc/no-such/own" << "";
    }
    void theFolderToPutTheModelInIsMadeWhereTheUserCanWrite() {
        QFETCH(QString, shown);
        QFETCH(QString, own);
        QFETCH(QString, made);
        const auto inRoot = [this](const QString& path) {
            return path.isEmpty() || path.startsWith(QLatin1Char('/')) ? path : m_root->path() + QLatin1Char('/') + path;
        };
        const auto result = CompanionModelLocator::makeFolderForModel(inRoot(shown), {QStringLiteral("/opt/elsewhere"), inRoot(own)});
        if (made.isEmpty()) {
            QCOMPARE(result.error(), "Could not create the folder " + own +
                                         ". Choose the folder that holds the model with Browse… instead.");
            return;
        }
        QCOMPARE(result.value(), inRoot(made));
        QVERIFY(QFileInfo(inRoot(made)).isDir());
    }

    // A picked folder stays, with the error, while nothing qualifies, and is not handed on: the server
    // then searches its usual places rather than a folder known to be empty. Once it holds the model
    // it is kept, even beside a qualifying candidate; an empty pick gives way to that candidate.
    void aPickedFolderIsKeptWhileItHoldsTheModelAndGivesWayOtherwise() {
        CompanionModelLocator locator(candidates());
        const QString picked = folder(QStringLiteral("picked"));
        putModel(picked, QStringLiteral("elsewhere/model.safetensors"));
        locator.useFolder(picked);
        QCOMPARE(locator.folderPath(), picked);
        QVERIFY(locator.checked() && !locator.found());
        QCOMPARE(locator.errorText(),
                 QStringLiteral("No model.safetensors found in this folder or its ModelResources/ subdirectory."));
        QCOMPARE(stored(), picked);
        QCOMPARE(CompanionModelLocator::chosenFolder(), std::nullopt);

        putModel(picked, QStringLiteral("ModelResources/model.safetensors")); // "Check again" once it arrives
        putModel(candidates()[1]);
        locator.check();
        QVERIFY(locator.found() && locator.errorText().isEmpty());
        QCOMPARE(CompanionModelLocator::chosenFolder(), std::optional(picked));
        locator.useFolder(folder(QStringLiteral("empty")));
        QCOMPARE(locator.folderPath(), candidates()[1]);
        QVERIFY(locator.found());
    }
};

QTEST_GUILESS_MAIN(CompanionModelLocatorTest)

#include "CompanionModelLocatorTest.moc"
