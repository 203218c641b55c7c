#pragma once

#include <QWidget>

namespace tavrin {

// A one-pixel line in the palette's line colour, between two parts of a window.
class TRHairline : public QWidget {
    Q_OBJECT
public:
    explicit TRHairline(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace tavrin
