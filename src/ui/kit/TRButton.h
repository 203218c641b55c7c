#pragma once

#include <QPushButton>

#include <variant>

class QVariantAnimation;

namespace tavrin {

enum class ButtonSize { regular, large, small };

// The primary look: upper-cased heavy label on the brand gradient.
struct KeldmarchButtonStyle {
    ButtonSize size = ButtonSize::regular;
    bool operator==(const KeldmarchButtonStyle&) const = default;
};

// The secondary look: white with a light border; red text and border when danger.
struct GhostButtonStyle {
    bool danger = false;
    ButtonSize size = ButtonSize::regular;
    bool operator==(const GhostButtonStyle&) const = default;
};

// Either look, so that one button can switch between them and stay the same widget (focus, pending
// clicks and connections survive the switch).
using AnyButtonStyle = std::variant<KeldmarchButtonStyle, GhostButtonStyle>;

struct ButtonMetrics {
    qreal fontPixels;
    qreal paddingH;
    qreal paddingV;
};
ButtonMetrics buttonMetrics(const AnyButtonStyle& style);

// The kit's push button, drawn entirely by the kit:
//   auto* start = new TRButton("Start server", KeldmarchButtonStyle{});
//   start->setSymbol("play.fill");
//   start->setButtonStyle(GhostButtonStyle{.danger = true});  // same object, new look
class TRButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(qreal pressProgress READ pressProgress WRITE setPressProgress)
public:
    explicit TRButton(const QString& text = {}, AnyButtonStyle style = KeldmarchButtonStyle{},
                      QWidget* parent = nullptr);

    void setButtonStyle(AnyButtonStyle style);
    AnyButtonStyle buttonStyle() const { return m_style; }
    bool isPrimary() const { return std::holds_alternative<KeldmarchButtonStyle>(m_style); }

    // A symbol drawn before the text, or alone: an icon-only button needs an accessible name saying what
    // it acts on (setAccessibleName("Delete key My laptop")), else its tooltip as set before the symbol;
    // a symbol's id is never a name.
    void setSymbol(const QString& symbol);
    QString symbol() const { return m_symbol; }

    // The product's words as given (an "&" is an ampersand, not a mnemonic). These hide QPushButton's
    // own text()/setText(), which would treat "&" as a shortcut marker.
    void setText(const QString& text);
    QString text() const { return m_label; }

    // What the button shows: upper-cased in the primary look.
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    qreal pressProgress() const { return m_pressProgress; }
    void setPressProgress(qreal progress);

    static constexpr int kPressAnimationMs = 120;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void animatePress(bool down);
    void updateShadow();
    QFont labelFont() const;

    AnyButtonStyle m_style;
    QString m_label;
    QString m_symbol;
    qreal m_pressProgress = 0;
    QVariantAnimation* m_pressAnimation;
};

} // namespace tavrin
