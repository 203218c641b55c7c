#pragma once

namespace tavrin {

// How screen readers meet the kit, installed once per application (Theme::apply calls it; calling it
// again does nothing). It gives the kit's own components the roles and states a reader needs (headings,
// the sidebar's tabs with their selection, disclosures that are expanded or collapsed, mode cards and
// a picker's segments as radio buttons, a pill or a painted figure as one line, elided text whole);
// every button of the project's own kinds gets one action, "Toggle" or "Press", that clicks it as the
// mouse and the keyboard do (Qt's would toggle a checkable one without its clicked()); and it makes
// scroll areas safe: Qt 6.4's own interface for them reads its list of children without a range
// check, so a reader asking for a child that has just gone (a scroll bar hidden as the content
// shrank) crashed the panel.
void installKitAccessibility();

} // namespace tavrin
