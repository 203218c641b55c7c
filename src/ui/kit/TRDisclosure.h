#pragma once

#include <QAbstractButton>
#include <QWidget>

class QPropertyAnimation;
class QVBoxLayout;

namespace tavrin {

// The "+ LABEL" / "− LABEL" header of a disclosure; checked while expanded.
class DisclosureHeader : public QAbstractButton {
    Q_OBJECT
public:
    explicit DisclosureHeader(const QString& label, QWidget* parent = nullptr);
    void setLabel(const QString& label);
    QString label() const { return label_; }
    QSize sizeHint() const override;
    // "+" when collapsed, "−" when expanded.
    QString sign() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString label_;
};

// A collapsible section under a hairline. Content goes into body(); it is shown, with a short
// ease-in-out animation, while the disclosure is expanded.
class TRDisclosure : public QWidget {
    Q_OBJECT
public:
    explicit TRDisclosure(const QString& label, bool expanded = false, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setExpanded(bool expanded);
    bool isExpanded() const { return expanded_; }

    DisclosureHeader* header() const { return header_; }
    QWidget* contentArea() const { return content_; }
    QVBoxLayout* body() const { return body_; }

    static constexpr int kAnimationMs = 180;

signals:
    void expandedChanged(bool expanded);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void animateTo(bool expanded);

    bool expanded_ = false;
    DisclosureHeader* header_;
    QWidget* content_;
    QVBoxLayout* body_;
    QPropertyAnimation* animation_;
};

} // namespace tavrin
