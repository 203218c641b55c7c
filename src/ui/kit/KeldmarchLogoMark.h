#pragma once

#include <QMargins>
#include <QWidget>

class QHBoxLayout;

namespace tavrin {

// The product's mark: a gradient rounded square with a heavy "T".
class KeldmarchLogoMark : public QWidget {
    Q_OBJECT
public:
    explicit KeldmarchLogoMark(int size = 28, QWidget* parent = nullptr);
    void setMarkSize(int size);
    int markSize() const { return m_size; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_size;
};

// The head of a column beside a screen (the window's sidebar, a guided sequence's rail): the mark and
// the product's name, left-aligned within `insets`.
QHBoxLayout* brandLine(int markSize, const QMargins& insets);

} // namespace tavrin
