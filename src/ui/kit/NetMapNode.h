#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace tavrin {

class TRSymbol;

// One node of the "who can reach this server" map: teal-framed when active.
class NetMapNode : public QWidget {
    Q_OBJECT
public:
    NetMapNode(const QString& symbol, const QString& head, const QString& title, const QString& detail,
               bool isActive, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setHead(const QString& head);
    void setTitle(const QString& title);
    void setDetail(const QString& detail);
    void setActive(bool active);

    bool isActive() const { return m_active; }
    QString title() const;
    QString detail() const;

    // A widget of the screen's below the texts (a chart, a list of addresses).
    void addBelow(QWidget* widget);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool m_active;
    TRSymbol* m_icon;
    QLabel* m_head;
    QLabel* m_title;
    QLabel* m_detail;
    QVBoxLayout* m_stack = nullptr;
};

} // namespace tavrin
