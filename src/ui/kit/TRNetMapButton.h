#pragma once

#include <QAbstractButton>

namespace tavrin {

class NetMapNode;

// A NetMapNode that is one choice of a set ("Just this computer" / "My whole network"): the buttons of
// one parent behave as radio buttons (one checked; arrow keys move between them), and the checked
// one shows its node active.
class TRNetMapButton : public QAbstractButton {
    Q_OBJECT
public:
    TRNetMapButton(const QString& symbol, const QString& head, const QString& title, const QString& detail,
                   QWidget* parent = nullptr);
    NetMapNode* node() const { return m_node; }
    void setDetail(const QString& detail);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    NetMapNode* m_node;
};

} // namespace tavrin
