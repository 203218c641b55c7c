#pragma once

#include <QAbstractButton>

namespace tavrin {

// The borderless "doc.on.doc" button beside copyable values. Pressing it replaces the clipboard's
// contents with the payload.
class CopyButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CopyButton(qreal textSize = 12, QWidget* parent = nullptr);

    void setPayload(const QString& payload) { payload_ = payload; }
    QString payload() const { return payload_; }

    QSize sizeHint() const override;

signals:
    void copied(const QString& payload);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void copy();

    QString payload_;
    qreal textSize_;
};

} // namespace tavrin
