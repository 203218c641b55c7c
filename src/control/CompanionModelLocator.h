#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

namespace tavrin {

// Finds the model file of the companion app "Tavrin AI" for the wizard's readiness step: the folder
// in use, whether it holds the model, whether a check ran, and what went wrong. The wizard creates
// one per visit of the step, calls check() when the step appears and on "Check again", and
// useFolder() with the folder the user picked.
class CompanionModelLocator : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString folderPath READ folderPath NOTIFY folderPathChanged)
    Q_PROPERTY(bool found READ found NOTIFY foundChanged)
    Q_PROPERTY(bool checked READ checked NOTIFY checkedChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    static constexpr const char* folderSetting = "TavrinServer.bundlePath";

    // /opt/tavrin-ai/resources, then $XDG_DATA_HOME/tavrin-ai/resources.
    static QStringList defaultCandidateFolders();
    // A folder qualifies when model.safetensors or ModelResources/model.safetensors exists in it.
    static bool folderHasModel(const QString& folder);
    // The folder the last check settled on, while it still holds the model: the server is told to
    // serve from it. Nothing otherwise, and the server searches the candidate folders itself.
    static std::optional<QString> chosenFolder();
    // The folder the user is shown to put the model in: `folder` itself, made if missing, or where
    // it cannot be made (a system-wide folder, for one), the last of `candidates`, the user's own.
    // The error is the message to show.
    static std::expected<QString, QString> makeFolderForModel(const QString& folder,
                                                              const QStringList& candidates = defaultCandidateFolders());

    // Starts on the first qualifying candidate, or the first candidate when none qualifies.
    explicit CompanionModelLocator(QStringList candidates = defaultCandidateFolders(),
                                   QObject* parent = nullptr);

    QString folderPath() const { return m_folderPath; }
    bool found() const { return m_found; }
    bool checked() const { return m_checked; }
    // Empty while there is nothing to say.
    QString errorText() const { return m_errorText; }

    // Keeps a qualifying folder, otherwise switches to the first qualifying candidate, otherwise keeps
    // the folder as it is; then stores the folder under "TavrinServer.bundlePath".
    void check();
    // The folder picker's answer; runs the check.
    void useFolder(const QString& folder);

Q_SIGNALS:
    void folderPathChanged();
    void foundChanged();
    void checkedChanged();
    void errorTextChanged();

private:
    void setFolderPath(const QString& value);
    void setFound(bool value);
    void setChecked(bool value);
    void setErrorText(const QString& value);

    QStringList m_candidates;
    QString m_folderPath;
    bool m_found = false;
    bool m_checked = false;
    QString m_errorText;
};

} // namespace tavrin
