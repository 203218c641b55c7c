#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace tavrin {

class TRSymbol;

// A figure with its caption: icon + LABEL, a bold value and an optional detail line.
class StatTile : public QWidget {
    Q_OBJECT
public:
    StatTile(const QString& symbol, const QString& label, const QString& value, const QString& detail = {},
             const QColor& valueColor = {}, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setLabel(const QString& label);
    void setValue(const QString& value);
    // An empty detail hides the line.
    void setDetail(const QString& detail);
    void setValueColor(const QColor& color);

    QString value() const;
    QString detail() const;

    // A widget of the screen's below the texts (a chart, a list of addresses).
    void addBelow(QWidget* widget);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TRSymbol* m_icon;
    QLabel* m_label;
    QLabel* m_value;
    QLabel* m_detail;
    QVBoxLayout* m_stack = nullptr;
};

} // namespace tavrin
