#pragma once

#include <QAbstractButton>
#include <QWidget>

class QPropertyAnimation;
class QVBoxLayout;

namespace tavrin {

// The "+ LABEL" / "− LABEL" header of a disclosure; checked while expanded.
class TRDisclosureHeader : public QAbstractButton {
    Q_OBJECT
public:
    explicit TRDisclosureHeader(const QString& label, QWidget* parent = nullptr);
    void setLabel(const QString& label);
    QString label() const { return m_label; }
    QSize sizeHint() const override;
    // "+" when collapsed, "−" when expanded.
    QString sign() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_label;
};

// A collapsible section under a hairline. Content goes into body(); it is shown, with a short
// ease-in-out animation, while the disclosure is expanded.
class TRDisclosure : public QWidget {
    Q_OBJECT
public:
    explicit TRDisclosure(const QString& label, bool expanded = false, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setExpanded(bool expanded);
    bool isExpanded() const { return m_expanded; }

    TRDisclosureHeader* header() const { return m_header; }
    QWidget* contentArea() const { return m_content; }
    QVBoxLayout* body() const { return m_body; }

    static constexpr int kAnimationMs = 180;

signals:
    void expandedChanged(bool expanded);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void animateTo(bool expanded);

    bool m_expanded = false;
    TRDisclosureHeader* m_header;
    QWidget* m_content;
    QVBoxLayout* m_body;
    QPropertyAnimation* m_animation;
};

} // namespace tavrin
