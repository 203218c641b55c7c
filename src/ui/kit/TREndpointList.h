#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

class QVBoxLayout;

namespace tavrin {

class EndpointBox;

// Addresses the server can be reached at, one EndpointBox each with its copy button; a list that
// is empty takes no room. Setting the same list again touches no widget.
class TREndpointList : public QWidget {
    Q_OBJECT
public:
    // A caption ("eth0") and the URL under it.
    using Entry = QPair<QString, QString>;

    explicit TREndpointList(QWidget* parent = nullptr);

    void setEntries(const QList<Entry>& entries);
    const QList<Entry>& entries() const { return m_entries; }
    QList<EndpointBox*> boxes() const { return m_boxes; }

private:
    QVBoxLayout* m_column;
    QList<Entry> m_entries;
    QList<EndpointBox*> m_boxes;
};

} // namespace tavrin
