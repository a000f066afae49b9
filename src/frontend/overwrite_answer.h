// The answer to "the file exists: what now?", asked when an extraction meets an existing file.
#pragma once

#include <cstdint>

namespace Arkova {

enum class OverwriteDecision : std::int32_t { Overwrite = 0, Skip = 1, Rename = 2, Cancel = 3 };

struct OverwriteAnswer {
    OverwriteDecision decision = OverwriteDecision::Cancel;
    bool applyToAll = false;
};

// One job's memory of the answers: the first answer given "for all files" decides every later conflict of the
// same job. A new job starts with a fresh state.
struct ConflictState {
    OverwriteDecision decision = OverwriteDecision::Overwrite;
    bool applyToAll = false;
};

}  // namespace Arkova
