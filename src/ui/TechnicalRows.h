#pragma once

#include <QString>

#include <vector>

namespace tavrin {

class TRDisclosure;

// One line of a screen's "Technical details": a label and a monospaced value, optionally copyable.
struct TechnicalRow {
    QString label;
    QString value;
    bool copyable = false;
    // The whole value where `value` is cut short: what a reader reads and the copy button copies.
    QString copyText;
    // What the copy button is called.
    QString copyName;
};

// Shows `rows` in the disclosure's body as key/value rows (label width 130, monospaced values).
// Every poll brings a status; the rows are rebuilt only when their set changes, so that a value the
// user is selecting is not replaced by a new widget under the pointer every few seconds.
void showTechnicalRows(TRDisclosure* details, const std::vector<TechnicalRow>& rows);

} // namespace tavrin
