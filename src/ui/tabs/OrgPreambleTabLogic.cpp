#include "ui/tabs/OrgPreambleTabLogic.h"

#include "state/SettingsActions.h"
#include "ui/kit/Theme.h"

#include <QCoreApplication>

namespace tavrin {

PreambleCounter preambleCounter(const QString& typed, qint64 maxLength) {
    const qint64 count = SettingsActions::preambleLength(typed);
    const bool over = !SettingsActions::preambleFits(typed, maxLength);
    return {
        QCoreApplication::translate("OrgPreambleTabLogic", "%1 / %2 characters").arg(count).arg(maxLength),
        over ? Theme::dangerRed() : Theme::inkMuted(), over};
}

bool preambleSaveEnabled(const PreambleCounter& counter, bool saving) { return !saving && !counter.overLimit; }

bool preambleClearEnabled(const QString& typed, bool saving) { return !saving && !typed.isEmpty(); }


} // namespace tavrin
