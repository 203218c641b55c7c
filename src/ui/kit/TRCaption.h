#pragma once

#include <QColor>
#include <QLabel>

class QVBoxLayout;

namespace tavrin {

// The small monospaced capitals that head sections and fields ("PHASE", "SERVER", "BIND HOST",
// "PINNED MODEL"): monospaced 9.5 semibold, tracking 2, inkMuted, upper-cased.
class TRCaption : public QLabel {
    Q_OBJECT
public:
    explicit TRCaption(const QString& text = {}, QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const { return m_caption; }
    void setColor(const QColor& color);

private:
    QString m_caption;
};

// A caption over the field or value it names ("PORT" over the port's field), as one column.
QVBoxLayout* labelled(const QString& caption, QWidget* field);

} // namespace tavrin
