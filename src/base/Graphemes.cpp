#include "base/Graphemes.h"

#include <QTextBoundaryFinder>

namespace tavrin {

int graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace tavrin
