#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace tavrin {

// A label in one of the kit's type styles and colours. Screens do not build these themselves; kit
// components do.
QLabel* kitLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);
void setLabelColor(QLabel* label, const QColor& color);

// A filled circle (the dots of eyebrows and pills).
class KitDot : public QWidget {
    Q_OBJECT
public:
    KitDot(int diameter, const QColor& color, QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return color_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
};

} // namespace tavrin
