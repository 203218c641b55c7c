#pragma once

#include "ui/kit/KitParts.h"

namespace tavrin {

enum class MessageKind { error, success };

// The line under the controls that caused it: a failure in dangerRed, a success in okGreen
// (system 12, wrapped, selectable with the mouse or the keyboard so a message can be copied into a
// report). Hidden while empty.
class TRMessageLine : public TRValueLabel {
    Q_OBJECT
public:
    explicit TRMessageLine(MessageKind kind = MessageKind::error, QWidget* parent = nullptr);

    void setMessage(const QString& message);
    void clearMessage() { setMessage({}); }
    QString message() const { return text(); }
    MessageKind kind() const { return m_kind; }

private:
    MessageKind m_kind;
};

} // namespace tavrin
