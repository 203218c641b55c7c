#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TRCopyButton;

// A command or other text to be pasted elsewhere: monospaced, selectable, line breaks kept, in a
// light box with a copy button that copies it whole.
class TRCodeBlock : public QWidget {
    Q_OBJECT
public:
    // `copyName` says what the copy button copies ("Copy test command").
    TRCodeBlock(const QString& text, const QString& copyName, QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;
    TRCopyButton* copyButton() const { return m_copy; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QLabel* m_text;
    TRCopyButton* m_copy;
};

} // namespace tavrin
