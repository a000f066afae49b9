#include "extract/front_end.h"

namespace Arkova {

OverwriteDecision JobFrontEnd::ResolveConflict(ConflictState& state, const std::wstring& name) {
    if (!state.applyToAll) {
        OverwriteAnswer answer = AskOverwrite(name);
        state.decision = answer.decision;
        state.applyToAll = answer.applyToAll;
    }
    return state.decision;
}

}  // namespace Arkova
