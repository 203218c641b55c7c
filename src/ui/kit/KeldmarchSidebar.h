#pragma once

#include "ui/kit/TRPaintedRows.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace tavrin {

class TRElidedText;

// One row of the sidebar: a symbol and a label. Screen readers meet it as a tab that is selected or not;
// Up and Down (Home, End) ask for the row above or below.
class SidebarItem : public TRPaintedRow {
    Q_OBJECT
public:
    SidebarItem(const QString& label, const QString& symbol, QWidget* parent = nullptr);

    void setActive(bool active);
    bool isActive() const { return isChosen(); }

    QSize sizeHint() const override;

protected:
    void paintContent(QPainter& p, const QRectF& box) override;

private:
    QString m_symbol;
};

// The sidebar's rows, which screen readers meet as a list of tabs ("Sections").
class TRSidebarList : public QWidget {
    Q_OBJECT
public:
    explicit TRSidebarList(QWidget* parent = nullptr);
};

// The fixed-width column on the left of the main window: brand, one row per screen, and a pinned
// model's alias when there is one. Rows are chosen by their index. The chosen row is the sidebar's one
// stop in the Tab chain; the arrow keys move the choice, and the focus with it, between rows.
class KeldmarchSidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 220;

    struct Entry {
        QString label;
        QString symbol;
    };
    explicit KeldmarchSidebar(const std::vector<Entry>& entries, QWidget* parent = nullptr);

    int selection() const { return m_selection; }
    void setSelection(int index);
    void setPinnedModel(const std::optional<QString>& alias);
    std::optional<QString> pinnedModel() const { return m_pinnedModel; }

    SidebarItem* item(int index) const { return static_cast<SidebarItem*>(m_rows->row(index)); }
    int count() const { return m_rows->rowCount(); }
    QWidget* pinnedBlock() const { return m_pinnedBlock; }
    TRElidedText* pinnedAlias() const { return m_pinnedAlias; }

Q_SIGNALS:
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_selection = 0;
    std::optional<QString> m_pinnedModel;
    TRPaintedRows* m_rows;
    QWidget* m_pinnedBlock;
    TRElidedText* m_pinnedAlias;
};

} // namespace tavrin
