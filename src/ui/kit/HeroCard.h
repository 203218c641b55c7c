#pragma once

#include <QWidget>

class QVBoxLayout;

namespace tavrin {

// The prominent card at the top of a tab: white with a faint brand wash. Add content to body().
class HeroCard : public QWidget {
    Q_OBJECT
public:
    explicit HeroCard(QWidget* parent = nullptr);

    QVBoxLayout* body() const { return m_body; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVBoxLayout* m_body;
};

} // namespace tavrin
