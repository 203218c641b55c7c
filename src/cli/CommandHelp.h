#pragma once

#include "cli/CommandCatalogue.h"

#include <QString>

namespace tavrin::cli {

// What tavrinctl says about itself, all from the command catalogue: the help texts, and the man page
// and bash completion that the build writes from the same table.

QString overallHelp();
QString groupHelp(const QString& group);
QString commandHelp(const CommandSpec& spec);

// The man page tavrinctl(1), as roff.
QString manPage(const QString& version);
// A bash completion script for tavrinctl: its commands, options and their values.
QString bashCompletion();

} // namespace tavrin::cli
