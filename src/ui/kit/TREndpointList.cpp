#include "ui/kit/TREndpointList.h"

#include "ui/kit/EndpointBox.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

TREndpointList::TREndpointList(QWidget* parent) : QWidget(parent) {
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(Spacing::lines);
    setVisible(false);
}

void TREndpointList::setEntries(const QList<Entry>& entries) {
    if (entries == m_entries)
        return;
    m_entries = entries;
    qDeleteAll(m_boxes);
    m_boxes.clear();
    for (const auto& [caption, url] : entries) {
        // Heard apart from the list, a copy button says which address it copies.
        //: Name of a copy button; %1 is the address caption, e.g. "LAN" or "mDNS".
        auto* box = new EndpointBox(caption, url, {.copyName = tr("Copy address on %1").arg(caption)}, this);
        m_column->addWidget(box);
        m_boxes << box;
    }
    setVisible(!entries.isEmpty());
}

} // namespace tavrin
