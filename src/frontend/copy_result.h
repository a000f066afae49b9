// What copying a finished parallel extraction into its destination came to.
#pragma once

#include <string>
#include <vector>

#include "frontend/entry_failure.h"

namespace Arkova {

struct CopyResult {
    enum class Outcome { Done, Failed, Aborted } outcome = Outcome::Done;
    std::vector<EntryFailure> failures;
    std::vector<std::wstring> skipped;
};

}  // namespace Arkova
