#pragma once

// Common ground of the admin tab tests: the state layer over the real reference server, and a tab
// built from the catalogue and shown offscreen.

#include "KitTestMain.h"
#include "ScreenTesting.h"

#include "support/ModelFixture.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/tabs/TabCatalogue.h"

#include <memory>

class RecordTabFixture : public ModelFixture {
public:
    std::unique_ptr<TestHost> host;

    // Builds the catalogue's tab and shows it; `Tab` is the catalogue's type for `which`.
    template <class Tab> Tab* open(tavrin::AdminTab which, QSize size = {860, 1300}) {
        host = std::make_unique<TestHost>();
        const tavrin::AdminScreen& entry = tavrin::adminTab(which);
        auto* tab = static_cast<Tab*>(entry.make(model.get(), entry.heading));
        host->place(tab, size.width(), 0, size.height());
        return tab;
    }

    // Every flow of `tab` runs to its end before the model it talks to goes away.
    template <class Tab> void close(Tab* tab) {
        if (tab)
            QTRY_COMPARE_WITH_TIMEOUT(tab->flows().running(), 0, 15000);
        host.reset();
    }

    void tearDown() {
        host.reset();
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
