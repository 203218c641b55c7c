#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tavrin {

class ServerStateModel;

// The top of a screen: eyebrow, title and lead (empty for none).
struct ScreenHeading {
    QString eyebrow;
    QString title;
    QString lead;
};

// What the main window knows of one of its screens: how the sidebar names it and how to build it.
// The tabs' catalogue (tabs/TabCatalogue.h) fills these in; the window only lays them out, so the
// window and the screens never include each other.
struct AdminScreen {
    QString label;  // the sidebar's label, e.g. "API Keys"
    QString symbol; // the sidebar's symbol, e.g. "key.fill"
    ScreenHeading heading;
    // A fresh screen each time it is chosen (its own state starts anew), given the shared model and
    // this entry's heading.
    std::function<QWidget*(ServerStateModel*, const ScreenHeading&)> make;
    QString name; // the label in English, for what programs read (a rendered screen's file name)
};

} // namespace tavrin
