#include "ui/TechnicalRows.h"

#include "ui/kit/KVRow.h"
#include "ui/kit/TRDisclosure.h"

#include <QVBoxLayout>

#include <algorithm>

namespace tavrin {

namespace {
constexpr int kLabelWidth = 130;
} // namespace

void showTechnicalRows(TRDisclosure* details, const std::vector<TechnicalRow>& rows) {
    const QList<KVRow*> shown = details->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    const bool sameRows = std::ranges::equal(rows, shown, [](const TechnicalRow& row, const KVRow* kv) {
        return row.label == kv->label() && row.copyable == bool(kv->copyButton());
    });
    if (!sameRows) {
        qDeleteAll(shown);
        for (const TechnicalRow& row : rows)
            details->body()->addWidget(new KVRow(row.label, {},
                                                 {.monospaced = true,
                                                  .copyable = row.copyable,
                                                  .labelWidth = kLabelWidth,
                                                  .copyName = row.copyName}));
    }
    const QList<KVRow*> current = details->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < current.size(); ++i)
        current[i]->setValue(rows[std::size_t(i)].value, rows[std::size_t(i)].copyText);
}

} // namespace tavrin
