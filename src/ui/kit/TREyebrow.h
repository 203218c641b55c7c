#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace tavrin {

class TRDot;

// A small upper-cased monospaced caption, optionally led by a teal dot.
class TREyebrow : public QWidget {
    Q_OBJECT
public:
    explicit TREyebrow(const QString& text, bool showDot = true, const QColor& color = {},
                       QWidget* parent = nullptr);

    void setText(const QString& text);
    void setShowDot(bool show);
    void setColor(const QColor& color);

    QString text() const { return m_text; }
    QString displayedText() const;

private:
    QString m_text;
    TRDot* m_dot;
    QLabel* m_label;
};

} // namespace tavrin
