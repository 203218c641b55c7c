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
    void putModel(const QString& folderPath, const QString& relative = QStringLiteral("model.safetensors")) {
        const QString path = folderPath + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QStringList candidates() const {
        return {folder(QStringLiteral("first")), folder(QStringLiteral("second"))};
    }
    static QString storedPath() {
        return QSettings().value(QStringLiteral("TavrinServer.bundlePath")).toString();
    }

private Q_SLOTS:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QSettings().remove(QStringLiteral("TavrinServer.bundlePath"));
    }

    void candidatesAreTheSystemFolderThenTheUsersOwn() {
        QCOMPARE(
            CompanionModelLocator::defaultCandidateFolders(),
            (QStringList{QStringLiteral("/opt/tavrin-ai/resources"),
                         qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/tavrin-ai/resources")}));
    }

    void startsOnTheFirstQualifyingCandidateOrElseTheFirstOne() {
        {
            CompanionModelLocator locator(candidates());
            QCOMPARE(locator.folderPath(), candidates()[0]);
            QVERIFY(!locator.found() && !locator.checked());
            QVERIFY(locator.errorText().isEmpty());
        }
        putModel(candidates()[1], QStringLiteral("ModelResources/model.safetensors"));
        CompanionModelLocator locator(candidates());
        QCOMPARE(locator.folderPath(), candidates()[1]);
        QVERIFY(!locator.found()); // nothing is claimed before the check runs
        QVERIFY(storedPath().isEmpty());
    }

    void checkFindsACandidateThatAppearedLaterAndStoresIt() {
        CompanionModelLocator locator(candidates());
        putModel(candidates()[1]);
        QSignalSpy folderChanged(&locator, &CompanionModelLocator::folderPathChanged);
        locator.check();
        QVERIFY(locator.checked() && locator.found());
        QCOMPARE(locator.folderPath(), candidates()[1]);
        QCOMPARE(folderChanged.count(), 1);
        QVERIFY(locator.errorText().isEmpty());
        QCOMPARE(storedPath(), candidates()[1]);
    }

    void aPickedFolderWithTheModelInModelResourcesIsKept() {
        putModel(candidates()[0]);
        const QString picked = folder(QStringLiteral("picked"));
        putModel(picked, QStringLiteral("ModelResources/model.safetensors"));
        CompanionModelLocator locator(candidates());
        locator.useFolder(picked);
        QCOMPARE(locator.folderPath(), picked);
        QVERIFY(locator.found());
        QCOMPARE(storedPath(), picked);
    }

    void aPickedFolderWithoutTheModelGivesWayToAQualifyingCandidate() {
        putModel(candidates()[1]);
        CompanionModelLocator locator(candidates());
        locator.useFolder(folder(QStringLiteral("empty")));
        QCOMPARE(locator.folderPath(), candidates()[1]);
        QVERIFY(locator.found());
    }

    void aPickedFolderStaysWithTheErrorWhenNothingQualifies() {
        CompanionModelLocator locator(candidates());
        const QString picked = folder(QStringLiteral("picked"));
        putModel(picked, QStringLiteral("elsewhere/model.safetensors"));
        locator.useFolder(picked);
        QCOMPARE(locator.folderPath(), picked);
        QVERIFY(locator.checked());
        QVERIFY(!locator.found());
        QCOMPARE(
            locator.errorText(),
            QStringLiteral("No model.safetensors found in this folder or its ModelResources/ subdirectory."));
        QCOMPARE(storedPath(), picked);
        // "Check again" after the model arrives clears the error.
        putModel(picked);
        locator.check();
        QVERIFY(locator.found());
        QVERIFY(locator.errorText().isEmpty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch"));
    CompanionModelLocatorTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "CompanionModelLocatorTest.moc"
