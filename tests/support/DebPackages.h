#pragma once

// Debian packages made for a test, as dpkg-deb builds them (at test time only: what reads them,
// the server and the signing tool, does so without dpkg).

#include "support/Basics.h"

namespace tavrin::test {

// A package named `name` of `version` in `folder`, holding one file of `payload` repeated; a
// different payload tells two builds of one version apart. Its path, or empty when dpkg-deb failed.
QString buildDebPackage(const QString& folder, const QString& name, const QString& version,
                        const QByteArray& payload = "payload");

} // namespace tavrin::test
