#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

class TREyebrow;

// The top of every tab: eyebrow, large title and an optional lead paragraph.
class TabHeader : public QWidget {
    Q_OBJECT
public:
    TabHeader(const QString& eyebrow, const QString& title, const QString& lead = {},
              QWidget* parent = nullptr);

    void setEyebrow(const QString& eyebrow);
    void setTitle(const QString& title);
    // An empty lead hides the paragraph.
    void setLead(const QString& lead);

    QString title() const;
    QString lead() const;

private:
    TREyebrow* m_eyebrow;
    QLabel* m_title;
    QLabel* m_lead;
};

} // namespace tavrin
