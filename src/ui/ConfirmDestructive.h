#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace tavrin {

// Asks before a step that is not easily undone: a warning over `parent` whose title and text are
// `question`, with `detail` beneath, the destructive button `confirm` and "Cancel", which is the
// default and answers Escape. It is opened, never run modally (a reader's action on the control that
// asked would wait on it), and deletes itself once answered. `onConfirmed` runs when `confirm` is pressed.
QMessageBox* confirmDestructive(QWidget* parent, const QString& question, const QString& detail,
                                const QString& confirm, std::function<void()> onConfirmed);

} // namespace tavrin
