#pragma once

#include <QAbstractButton>

#include <chrono>

namespace tavrin {

// Replaces the clipboard's contents with `text` as plain text (clear, then set), as every copy
// action of the product does.
void copyText(const QString& text);

// The same for a password: marked for clipboard managers as a secret not to keep in their history,
// and cleared after `lifetime` unless something else has been copied since.
void copySecretText(const QString& text, std::chrono::milliseconds lifetime = std::chrono::seconds(60));

// The borderless "doc.on.doc" button beside copyable values. Pressing it replaces the clipboard's
// contents with the payload. Its tooltip is "Copy"; its name says what it copies ("Copy model hash"),
// since a screen reader meets it apart from the value beside it.
class TRCopyButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TRCopyButton(const QString& name, qreal textSize = 12, QWidget* parent = nullptr);

    void setPayload(const QString& payload) { m_payload = payload; }
    QString payload() const { return m_payload; }

    QSize sizeHint() const override;

signals:
    void copied(const QString& payload);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void copy();

    QString m_payload;
    qreal m_textSize;
};

} // namespace tavrin
