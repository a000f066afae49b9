// What to do when an extracted file would land on an existing one. The first answer given "for all" is kept for
// the rest of the run.
#pragma once

#include <string>

#include "cli/console.h"
#include "cli/options.h"

namespace Arkova::Cli {

enum class ConflictDecision { Overwrite, Skip, Rename, Cancel };

class ConflictResolver {
public:
    ConflictResolver(Console& console, ExistingFiles policy);
    // `name` is the path shown to the user.
    ConflictDecision Decide(const std::wstring& name);
    // True when existing files are skipped because nobody could be asked, not because the user said so.
    bool SkipsForLackOfTerminal() const { return skipsSilently_; }

private:
    ConflictDecision Ask(const std::wstring& name);

    Console& console_;
    bool remembered_ = false;
    ConflictDecision rememberedDecision_ = ConflictDecision::Overwrite;
    bool skipsSilently_ = false;
};

}  // namespace Arkova::Cli
