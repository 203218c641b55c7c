#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace tavrin {

// A small spinning arc with a line beside it ("Checking hardware…", "Starting…"): work under way
// whose end is not known. It turns only while shown, so a hidden one costs nothing; screen readers
// read its text.
class TRProgress : public QWidget {
    Q_OBJECT
public:
    explicit TRProgress(const QString& text = {}, QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;
    static constexpr int kSpinnerSize = 14;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class Spinner;
    Spinner* m_spinner;
    QLabel* m_text;
};

} // namespace tavrin
