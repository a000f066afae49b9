// The portable merge of a finished parallel extraction from its staging folder into the destination, for the
// front ends whose CopyFolderContents has no shell copy to call (the console, the tests' scripted double).
#pragma once

#include <functional>
#include <string>

#include "frontend/job_front_end.h"

namespace Arkova {

// Moves the contents of `source` into `destination` (created when missing): a name new to the destination moves
// whole with one rename, a folder on both sides is merged, an existing file is asked about through `frontEnd`
// (ResolveConflict). Where a rename cannot cross file systems the file is copied beside its target and renamed
// into place, so an existing file is never lost halfway. `shouldStop`, asked between entries, ends the merge as
// Aborted.
CopyResult MergeFolderContents(const std::wstring& source, const std::wstring& destination, JobFrontEnd& frontEnd,
                               const std::function<bool()>& shouldStop = {});

}  // namespace Arkova
