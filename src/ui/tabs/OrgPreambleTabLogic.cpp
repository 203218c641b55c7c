#include "ui/tabs/OrgPreambleTabLogic.h"

#include "base/Graphemes.h"
#include "ui/kit/Theme.h"

namespace tavrin {

PreambleCounter preambleCounter(const QString& typed, qint64 maxLength) {
    const qint64 count = graphemeCount(typed);
    const bool over = count > maxLength;
    return {QStringLiteral("%1 / %2 characters").arg(count).arg(maxLength), over ? Theme::dangerRed() : Theme::inkMuted(),
            over};
}

std::optional<QString> preambleToSend(const QString& typed) {
    QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

bool preambleSaveEnabled(const PreambleCounter& counter, bool saving) { return !saving && !counter.overLimit; }

bool preambleClearEnabled(const QString& typed, bool saving) { return !saving && !typed.isEmpty(); }


} // namespace tavrin
