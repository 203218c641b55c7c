#include "control/CompanionModelLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tavrin {

QStringList CompanionModelLocator::defaultCandidateFolders() {
    return {QStringLiteral("/opt/tavrin-ai/resources"),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/tavrin-ai/resources")};
}

bool CompanionModelLocator::folderHasModel(const QString& folder) {
    return QFileInfo::exists(folder + QStringLiteral("/model.safetensors")) ||
           QFileInfo::exists(folder + QStringLiteral("/ModelResources/model.safetensors"));
}

std::optional<QString> CompanionModelLocator::chosenFolder() {
    const QString folder = QSettings().value(QLatin1StringView(folderSetting)).toString();
    if (folder.isEmpty() || !folderHasModel(folder))
        return std::nullopt;
    return folder;
}

std::expected<QString, QString> CompanionModelLocator::makeFolderForModel(const QString& folder,
                                                                         const QStringList& candidates) {
    QStringList tries{folder};
    if (!candidates.isEmpty() && candidates.last() != folder)
        tries.push_back(candidates.last());
    for (const QString& candidate : tries)
        if (!candidate.isEmpty() && QDir().mkpath(candidate) && QFileInfo(candidate).isWritable())
            return candidate;
    return std::unexpected(
        QCoreApplication::translate("CompanionModelLocator",
                                    "Could not create the folder %1. Choose the folder that holds "
                                    "the model with Browse… instead.")
            .arg(tries.last()));
}

CompanionModelLocator::CompanionModelLocator(QStringList candidates, QObject* parent)
    : QObject(parent), m_candidates(std::move(candidates)) {
    m_folderPath = m_candidates.value(0);
    for (const QString& candidate : m_candidates)
        if (folderHasModel(candidate)) {
            m_folderPath = candidate;
            break;
        }
}

void CompanionModelLocator::check() {
    setChecked(true);
    setErrorText(QString());
    if (!folderHasModel(m_folderPath))
        for (const QString& candidate : m_candidates)
            if (folderHasModel(candidate)) {
                setFolderPath(candidate);
                break;
            }
    // A picked folder without the model stays when no candidate has it either.
    setFound(folderHasModel(m_folderPath));
    if (!m_found)
        setErrorText(QCoreApplication::translate(
            "CompanionModelLocator",
            "No model.safetensors found in this folder or its ModelResources/ subdirectory."));
    QSettings().setValue(QLatin1StringView(folderSetting), m_folderPath);
}

void CompanionModelLocator::useFolder(const QString& folder) {
    setFolderPath(folder);
    check();
}

void CompanionModelLocator::setFolderPath(const QString& value) {
    m_folderPath = value;
    Q_EMIT folderPathChanged();
}

void CompanionModelLocator::setFound(bool value) {
    m_found = value;
    Q_EMIT foundChanged();
}

void CompanionModelLocator::setChecked(bool value) {
    m_checked = value;
    Q_EMIT checkedChanged();
}

void CompanionModelLocator::setErrorText(const QString& value) {
    m_errorText = value;
    Q_EMIT errorTextChanged();
}

} // namespace tavrin
