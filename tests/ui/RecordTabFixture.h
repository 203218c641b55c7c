#pragma once

// Common ground of the admin tab tests: the state layer over the real reference server, and a tab
// built from the catalogue and shown offscreen.

#include "ScreenTesting.h"

#include "support/ModelFixture.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/tabs/TabCatalogue.h"

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
};

inline bool wheelShown(const QWidget* tab) {
    const auto* wheel = tab->findChild<tavrin::TRProgressIndicator*>();
    return wheel && wheel->isVisibleTo(tab);
}
