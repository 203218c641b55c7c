#include "ui/desktop/SaveDialog.h"

#include <QCoroSignal>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavrin {

namespace {

QString& lastFolder() {
    static QString folder;
    return folder;
}

// Says once that the dialog is done, however it ended; the awaiting coroutine resumes from the
// event loop, never from inside the dialog's own signal.
class DialogEnd : public QObject {
    Q_OBJECT
public:
    void reach() {
        if (m_reached)
            return;
        m_reached = true;
        Q_EMIT reached();
    }
    bool isReached() const { return m_reached; }

Q_SIGNALS:
    void reached();

private:
    bool m_reached = false;
};

} // namespace

QString proposedSaveFolder() {
    if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir())
        return lastFolder();
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return downloads;
    return QDir::homePath();
}

QCoro::Task<std::optional<QString>> chooseSaveFile(QWidget* parent, SaveFileProposal proposal) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(proposal.filter);
    dialog->setDirectory(proposal.folder);
    dialog->selectFile(proposal.name);
    dialog->setWindowModality(Qt::WindowModal);

    DialogEnd end;
    std::optional<QString> chosen;
    QObject::connect(dialog, &QDialog::finished, &end, [&, dialog](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result == QDialog::Accepted && !files.isEmpty())
            chosen = files.first();
        dialog->deleteLater();
        end.reach();
    });
    QObject::connect(dialog, &QObject::destroyed, &end, [&end] { end.reach(); });
    dialog->open();
    if (!end.isReached())
        co_await qCoro(&end, &DialogEnd::reached);
    if (chosen)
        lastFolder() = QFileInfo(*chosen).absolutePath();
    co_return chosen;
}

} // namespace tavrin

#include "SaveDialog.moc"
