#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace tavrin {

// The standard white card. The header row (title, subtitle, trailing accessory) exists only while at
// least one of the three is set; content goes into body().
class TRCard : public QWidget {
    Q_OBJECT
public:
    explicit TRCard(const QString& title = {}, const QString& subtitle = {}, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);
    // The card takes ownership; nullptr removes (and deletes) the current accessory.
    void setAccessory(QWidget* accessory);
    void setDanger(bool danger);

    QString title() const;
    QString subtitle() const;
    QWidget* accessory() const { return m_accessory; }
    bool isDanger() const { return m_danger; }
    // The header row, for callers that need to know whether it is shown.
    QWidget* headerRow() const { return m_header; }

    QVBoxLayout* body() const { return m_body; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void updateHeader();

    QWidget* m_header;
    QHBoxLayout* m_headerLayout;
    QLabel* m_title;
    QLabel* m_subtitle;
    QWidget* m_accessory = nullptr;
    QVBoxLayout* m_body;
    bool m_danger = false;
};

} // namespace tavrin
