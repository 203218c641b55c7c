#pragma once

#include <QLineEdit>

namespace tavrin {

// The kit's single-line text field: white, radius 7, a light ink border (teal while focused).
class TRTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit TRTextField(bool monospaced = false, QWidget* parent = nullptr);

    void setMonospaced(bool monospaced);
    bool isMonospaced() const { return m_monospaced; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_monospaced = false;
};

} // namespace tavrin
