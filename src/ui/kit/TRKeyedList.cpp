#include "ui/kit/TRKeyedList.h"

#include <QApplication>
#include <QVBoxLayout>

#include <algorithm>

namespace tavrin {

namespace {

using Rows = std::vector<std::pair<QString, QWidget*>>;

Rows::iterator rowOf(Rows& rows, const QString& id) { return std::ranges::find(rows, id, &Rows::value_type::first); }

// The controls of a row that the keyboard reaches, in the order the row made them.
QList<QWidget*> controlsOf(const QWidget* row) {
    QList<QWidget*> controls;
    for (QWidget* widget : row->findChildren<QWidget*>())
        if (widget->focusPolicy() & Qt::TabFocus)
            controls << widget;
    return controls;
}

} // namespace

TRKeyedList::TRKeyedList(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
}

QWidget* TRKeyedList::row(const QString& id) const {
    const auto found = std::ranges::find(m_rows, id, &Rows::value_type::first);
    return found == m_rows.end() ? nullptr : found->second;
}

void TRKeyedList::setIds(const QStringList& ids, const MakeRow& make, const UpdateRow& update) {
    // Where the keyboard focus is, should its row go: read before anything is hidden, since hiding the
    // focused control hands its focus on.
    qsizetype focusRow = -1;
    qsizetype focusControl = 0;
    const QWidget* focused = QApplication::focusWidget();
    for (std::size_t i = 0; focused && i < m_rows.size(); ++i) {
        if (!m_rows[i].second->isAncestorOf(focused))
            continue;
        focusRow = qsizetype(i);
        const QList<QWidget*> controls = controlsOf(m_rows[i].second);
        const auto control = std::ranges::find_if(
            controls, [focused](const QWidget* c) { return c == focused || c->isAncestorOf(focused); });
        focusControl = std::max(qsizetype(0), qsizetype(control - controls.begin()));
    }

    auto* column = static_cast<QVBoxLayout*>(layout());
    Rows shown;
    shown.reserve(std::size_t(ids.size()));
    for (qsizetype index = 0; index < ids.size(); ++index) {
        const QString& id = ids[index];
        if (rowOf(shown, id) != shown.end())
            continue;
        QWidget* row = nullptr;
        if (auto kept = rowOf(m_rows, id); kept != m_rows.end()) {
            row = std::exchange(kept->second, nullptr);
            update(row, index);
        } else {
            row = make(index);
        }
        const int position = int(shown.size());
        if (column->indexOf(row) != position) {
            column->removeWidget(row);
            column->insertWidget(position, row);
        }
        row->show();
        shown.emplace_back(id, row);
    }
    bool focusGone = false;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        QWidget* gone = m_rows[i].second;
        if (!gone)
            continue;
        focusGone = focusGone || qsizetype(i) == focusRow;
        column->removeWidget(gone);
        gone->hide();
        gone->setParent(nullptr);
        gone->deleteLater();
    }
    m_rows = std::move(shown);
    if (focusGone)
        placeFocus(focusRow, focusControl);
}

void TRKeyedList::placeFocus(qsizetype position, qsizetype control) {
    if (m_rows.empty()) {
        if (m_focusWhenEmpty)
            m_focusWhenEmpty->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QWidget* row = m_rows[std::size_t(std::min(position, count() - 1))].second;
    const QList<QWidget*> controls = controlsOf(row);
    // The same control, or the next one this row shows; failing that, the nearest before it.
    for (qsizetype i = control; i < controls.size(); ++i)
        if (controls[i]->isVisibleTo(row)) {
            controls[i]->setFocus(Qt::OtherFocusReason);
            return;
        }
    for (qsizetype i = std::min(control, controls.size()) - 1; i >= 0; --i)
        if (controls[i]->isVisibleTo(row)) {
            controls[i]->setFocus(Qt::OtherFocusReason);
            return;
        }
}

} // namespace tavrin
