#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

namespace tavrin {

// A column of rows, one per id, for a list that is published again and again (every poll): the row of
// an id shown before stays the same widget, moved to its place and brought up to date, so that its
// focus and hover survive; rows of new ids are made, rows of ids no longer listed go. A keyboard user
// whose row went lands on the same control of the row that took its place (or the next control that
// row shows), or, when no row is left, on the widget named for that.
class TRKeyedList : public QWidget {
    Q_OBJECT
public:
    explicit TRKeyedList(QWidget* parent = nullptr);

    using MakeRow = std::function<QWidget*(qsizetype index)>;
    using UpdateRow = std::function<void(QWidget* row, qsizetype index)>;
    // The rows of `ids`, in this order: `make` builds the row of ids[index], `update` brings the kept
    // row of ids[index] up to date. An id listed twice has one row, the first one's.
    void setIds(const QStringList& ids, const MakeRow& make, const UpdateRow& update);

    // The row shown for `id`; nullptr for none.
    QWidget* row(const QString& id) const;
    qsizetype count() const { return qsizetype(m_rows.size()); }
    void setFocusWhenEmpty(QWidget* widget) { m_focusWhenEmpty = widget; }

private:
    void placeFocus(qsizetype position, qsizetype control);

    std::vector<std::pair<QString, QWidget*>> m_rows; // in the order shown
    QPointer<QWidget> m_focusWhenEmpty;
};

} // namespace tavrin
