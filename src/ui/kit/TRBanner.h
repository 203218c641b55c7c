#pragma once

#include <QColor>
#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace tavrin {

class TRSymbol;

enum class BannerKind { info, warn, danger, brand, success };

QColor bannerTint(BannerKind kind);
QColor bannerBackground(BannerKind kind);
QColor bannerBorder(BannerKind kind);

// A tinted notice: icon, optional bold title, optional message, optional trailing widget.
class TRBanner : public QWidget {
    Q_OBJECT
public:
    TRBanner(BannerKind kind, const QString& symbol, const QString& title = {}, const QString& message = {},
             QWidget* parent = nullptr);

    void setKind(BannerKind kind);
    void setSymbol(const QString& symbol);
    // Empty texts hide their line.
    void setTitle(const QString& title);
    void setMessage(const QString& message);
    // The banner takes ownership; nullptr removes (and deletes) the current trailing widget.
    void setTrailing(QWidget* trailing);

    BannerKind kind() const { return m_kind; }
    QString title() const;
    QString message() const;
    QWidget* trailing() const { return m_trailing; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void updateTexts();

    BannerKind m_kind;
    QHBoxLayout* m_row;
    TRSymbol* m_icon;
    QWidget* m_texts;
    QLabel* m_title;
    QLabel* m_message;
    QWidget* m_trailing = nullptr;
};

} // namespace tavrin
