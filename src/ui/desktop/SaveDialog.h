#pragma once

#include "protocol/Task.h"

#include <QString>

#include <optional>

class QWidget;

namespace tavrin {

// What a save dialog proposes: a file name in a folder, and the one filter of the file's kind
// ("CSV (*.csv)").
struct SaveFileProposal {
    QString folder;
    QString name;
    QString filter;
};

// The folder a save dialog opens on: the last one the user saved into in this session, else the
// Downloads folder, else home.
QString proposedSaveFolder();

// Asks the user where to save, in the desktop's save dialog, window-modal over `parent`; the GUI
// keeps running meanwhile. nullopt when the user cancels, or when `parent` goes away first. An
// existing file is replaced only after the dialog's own confirmation.
QCoro::Task<std::optional<QString>> chooseSaveFile(QWidget* parent, SaveFileProposal proposal);

} // namespace tavrin
