#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;

namespace tavrin {

class TRPill;

// One earlier version in a list of versions, newest first: its name in monospaced type with an
// optional muted pill ("Previous"), a line under it ("Promoted 2026-11-02T09:12:44Z"), and an
// optional control at the trailing edge. A hairline closes the row.
class TRHistoryRow : public QWidget {
    Q_OBJECT
public:
    // An empty pill shows none.
    TRHistoryRow(const QString& name, const QString& detail, const QString& pill = {}, QWidget* parent = nullptr);

    // The row takes ownership; nullptr removes (and deletes) the current one.
    void setAccessory(QWidget* accessory);

    QString name() const;
    QString detail() const;
    // Empty when the row has no pill.
    QString pill() const;
    QWidget* accessory() const { return m_accessory; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QHBoxLayout* m_row;
    QLabel* m_name;
    QLabel* m_detail;
    TRPill* m_pill = nullptr;
    QWidget* m_accessory = nullptr;
};

} // namespace tavrin
