#pragma once

#include <QAbstractButton>

class QLabel;

namespace tavrin {

// A selectable option card (one of a set, like "Just this computer" / "My whole network"). It does not
// select itself: the owner listens to clicked() and sets isOn on the cards of its set. Screen readers
// meet it as a radio button, checked while on.
class ModeCard : public QAbstractButton {
    Q_OBJECT
public:
    ModeCard(const QString& label, const QString& title, const QString& description, bool isOn,
             QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setTitle(const QString& title);
    void setDescription(const QString& description);
    void setOn(bool on);
    bool isOn() const { return m_on; }
    QString title() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_on;
    QLabel* m_label;
    QLabel* m_title;
    QLabel* m_description;
};

} // namespace tavrin
