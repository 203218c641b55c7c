#pragma once

// Common ground of the admin tab tests: the state layer over the real reference server, and a tab
// built from the catalogue and shown offscreen.

#include "ScreenTesting.h"

#include "support/ModelFixture.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/tabs/TabCatalogue.h"

#include <memory>

class RecordTabFixture : public ModelFixture, public ScreenHost {
public:
    // Builds the catalogue's tab and shows it; `Tab` is the catalogue's type for `which`.
    template <class Tab> Tab* open(tavrin::AdminTab which, QSize size = {860, 1300}) {
        const tavrin::AdminScreen& entry = tavrin::adminTab(which);
        return show(static_cast<Tab*>(entry.make(model.get(), entry.heading)), size);
    }

    void tearDown() {
        close();
        stopModel();
    }

    // The tab before its first load has ended: built and drawn, never shown, so nothing loads.
    void saveLoadingLook(tavrin::AdminTab which, const QString& name) {
        const tavrin::AdminScreen& entry = tavrin::adminTab(which);
        const std::unique_ptr<QWidget> tab(entry.make(model.get(), entry.heading));
        tab->resize(860, 400);
        saveLook(tab.get(), name);
    }

    // For a person to look at: the tab as it stands, once the switches and the disclosure have
    // ended their animations.
    static void saveLook(QWidget* tab, const QString& name) {
        if (qEnvironmentVariableIsEmpty("TAVRIN_SCREENS_DIR"))
            return;
        QTest::qWait(400);
        saveScreen(tab, name);
    }
};

inline bool wheelShown(const QWidget* tab) {
    const auto* wheel = tab->findChild<tavrin::TRProgressIndicator*>();
    return wheel && wheel->isVisibleTo(tab);
}
