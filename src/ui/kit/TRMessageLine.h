#pragma once

#include <QLabel>

namespace tavrin {

enum class MessageKind { error, success };

// The line under the controls that caused it: a failure in dangerRed, a success in okGreen
// (system 12, wrapped, selectable so a message can be copied into a report). Hidden while empty.
class TRMessageLine : public QLabel {
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
