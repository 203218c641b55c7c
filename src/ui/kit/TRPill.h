#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace tavrin {

class TRDot;

enum class PillKind { ok, warn, bad, muted, brand, info };

QColor pillForeground(PillKind kind);
QColor pillBackground(PillKind kind);

struct PillOptions {
    bool withDot = false;
    bool mono = false;
};

// A small capsule label: new TRPill("Ready", PillKind::ok, {.withDot = true}).
class TRPill : public QWidget {
    Q_OBJECT
public:
    TRPill(const QString& label, PillKind kind, PillOptions options = {}, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setKind(PillKind kind);
    void setWithDot(bool withDot);
    void setMono(bool mono);

    QString label() const { return m_label; }
    // What the pill shows (upper-cased when mono).
    QString displayedText() const;

    // What the pill tells about, for screen readers, which hear "Server: Running" where a sighted user
    // sees a green "Running" in the toolbar. Empty: the label alone.
    void setMeaning(const QString& meaning) { m_meaning = meaning; }
    // The pill as one spoken line: the meaning, if any, and the label (never upper-cased).
    QString spokenText() const;
    PillKind kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void restyle();

    QString m_label;
    QString m_meaning;
    PillKind m_kind;
    PillOptions m_options;
    TRDot* m_dot;
    QLabel* m_text;
};

} // namespace tavrin
