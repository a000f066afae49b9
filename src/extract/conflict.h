// The conflict rule of every job and of the staged merge.
#pragma once

#include <string>

#include "frontend/job_front_end.h"

namespace Arkova {

// The decision for one existing file: the answer given "for all files" earlier in `state`, else a new question
// (by display name) whose answer `state` then keeps.
OverwriteDecision ResolveConflict(JobFrontEnd& frontEnd, ConflictState& state, const std::wstring& name);

}  // namespace Arkova
