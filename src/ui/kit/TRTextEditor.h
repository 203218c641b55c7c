#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace tavrin {

// The kit's multi-line editor (same box as TRTextField), at least minHeight tall and full width.
class TRTextEditor : public QWidget {
    Q_OBJECT
public:
    explicit TRTextEditor(int minHeight = 70, bool monospaced = false, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void setMonospaced(bool monospaced);
    void setMinHeight(int minHeight);
    void setPlaceholderText(const QString& text);

    QPlainTextEdit* editor() const { return m_editor; }

    // At least minHeight, growing with the text up to a dozen lines before it scrolls.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_editor;
    int m_minHeight = 70;
};

} // namespace tavrin
