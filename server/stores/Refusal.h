#pragma once

#include <QString>

namespace tavrin {

// Why the server turned a request down: the HTTP status and the one line the panel shows as it
// stands. Every store and service of the server refuses with this one type, and the admin API
// answers it the same way wherever it comes from.
struct Refusal {
    int status = 400;
    QString text;
    QString message() const { return text; }
};

} // namespace tavrin
