#pragma once

#include <QWidget>

class QLabel;

namespace tavrin {

// A window's title with a subtitle under it, as the toolbar shows them.
class TRNavigationTitle : public QWidget {
    Q_OBJECT
public:
    TRNavigationTitle(const QString& title, const QString& subtitle, QWidget* parent = nullptr);

    // The subtitle follows every poll; an unchanged one costs no relayout.
    void setSubtitle(const QString& subtitle);
    QString subtitle() const;

private:
    QLabel* m_subtitle;
};

} // namespace tavrin
