#include "extract/conflict.h"

namespace Arkova {

OverwriteDecision ResolveConflict(JobFrontEnd& frontEnd, ConflictState& state, const std::wstring& name) {
    if (!state.applyToAll) {
        OverwriteAnswer answer = frontEnd.AskOverwrite(name);
        state.decision = answer.decision;
        state.applyToAll = answer.applyToAll;
    }
    return state.decision;
}

}  // namespace Arkova
