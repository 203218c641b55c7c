#pragma once

#include <QLabel>
#include <QStringList>

namespace tavrin {

// The name of what a screen is about, written large (the display-name text role), on at most
// `maxLines` lines: a name too long for them ends in "…". Names are often one long word
// ("TAVRIN-SAMPLE-2026.11.3-Q4"), so a line breaks between words where it can and anywhere where it
// cannot, rather than widening the page. The label's text stays the whole name, which is what a
// screen reader reads.
class TRDisplayName : public QLabel {
    Q_OBJECT
public:
    explicit TRDisplayName(const QString& text = {}, int maxLines = 2, QWidget* parent = nullptr);

    int maxLines() const { return m_maxLines; }
    // The lines drawn at `width` (the widget's own width when none is given).
    QStringList shownLines(int width = -1) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_maxLines;
};

} // namespace tavrin
