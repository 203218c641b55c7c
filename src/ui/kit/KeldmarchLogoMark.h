#pragma once

#include <QWidget>

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

} // namespace tavrin
