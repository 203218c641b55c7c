#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace tavrin {

// The parts of the small panel the tray item opens: a custom panel drawn with the kit, not a native
// menu. Every entry is a full-width row (MBItem) or a label/value line (MBStat).

// The panel's body: 320 wide on surface, blocks stacked without spacing and parted by hairlines.
class MBPanel : public QWidget {
    Q_OBJECT
public:
    explicit MBPanel(QWidget* parent = nullptr);

    // `padded` blocks get 6 of vertical padding (all blocks but the header).
    void addBlock(QWidget* block, bool padded = true);

    static constexpr int kWidth = 320;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVBoxLayout* m_stack;
};

// The header: "TAVRIN KELDMARCH" over the phase label, under a thin brand strip.
class MBHeader : public QWidget {
    Q_OBJECT
public:
    explicit MBHeader(const QString& phaseText = {}, QWidget* parent = nullptr);
    void setPhaseText(const QString& text);
    QString phaseText() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QLabel* m_phase;
};

// A block's caption, upper-cased ("ENDPOINTS").
class MBCaption : public QLabel {
    Q_OBJECT
public:
    explicit MBCaption(const QString& text, QWidget* parent = nullptr);
    QString caption() const { return m_caption; }

private:
    QString m_caption;
};

// A free-standing line in a block: a muted remark ("Daemon not reachable") or a good-news line in
// green monospaced type ("Update available · 1.5.0").
class MBNote : public QLabel {
    Q_OBJECT
public:
    enum class Kind { muted, good, danger };
    MBNote(const QString& text, Kind kind, QWidget* parent = nullptr);
};

// A full-width action row: icon, label, optional trailing shortcut; tinted while the pointer is over it.
class MBItem : public QAbstractButton {
    Q_OBJECT
public:
    MBItem(const QString& symbol, const QString& label, bool danger = false, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setLabel(const QString& label);
    void setShortcutText(std::optional<QString> shortcut);

    QString symbol() const { return m_symbol; }
    QString label() const { return m_label; }
    bool isDanger() const { return m_danger; }
    bool isHovered() const { return m_hovered; }
    // The wash behind the row: dangerRed or linkBlue at 10 % while hovered, clear otherwise.
    QColor background() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QString m_symbol;
    QString m_label;
    std::optional<QString> m_shortcut;
    bool m_danger;
    bool m_hovered = false;
    bool m_keyboardFocus = false;
};

// A label/value line; a value too long for the row is cut in the middle. Screen readers hear the label
// as its name and the whole value as its value and description.
class MBStat : public QWidget {
    Q_OBJECT
public:
    MBStat(const QString& label, const QString& value, QWidget* parent = nullptr);

    void setValue(const QString& value);
    QString label() const { return m_label; }
    QString value() const { return m_value; }
    // The value as drawn at the current width.
    QString displayedValue() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QRectF valueRect() const;

    QString m_label;
    QString m_value;
};

} // namespace tavrin
