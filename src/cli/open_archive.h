// Opens the archive named on the command line into a session, as the browser window would.
#pragma once

#include <string>

#include "archive/archive_session.h"
#include "cli/console.h"
#include "cli/options.h"
#include "frontend/job_front_end.h"

namespace Arkova::Cli {

// Opens the archive with the options' code page and password. An archive whose listing itself is encrypted asks
// for the password on a terminal (three tries). On failure it says why, naming the archive and the error, and
// returns false.
bool OpenForCommand(const Options& options, ArchiveSession& session, JobFrontEnd& frontEnd, Console& console);

}  // namespace Arkova::Cli
