#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TRButton;
class TRElidedText;

// The one showing of a new key's secret: a warning that it will not be shown again, the key's label,
// the token (cut in the middle where it does not fit, copied whole) and a Copy button, on the brand wash.
class IssuedKeyBanner : public QWidget {
    Q_OBJECT
public:
    explicit IssuedKeyBanner(const QString& label = {}, const QString& token = {}, QWidget* parent = nullptr);

    void setKey(const QString& label, const QString& token);
    QString label() const;
    QString token() const;

    TRElidedText* tokenText() const { return m_token; }
    TRButton* copyButton() const { return m_copy; }

signals:
    void copied();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QLabel* m_label;
    TRElidedText* m_token;
    TRButton* m_copy;
};

} // namespace tavrin
