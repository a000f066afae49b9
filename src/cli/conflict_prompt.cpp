#include "cli/conflict_prompt.h"

namespace Arkova::Cli {

ConflictResolver::ConflictResolver(Console& console, ExistingFiles policy) : console_(console) {
    if (policy == ExistingFiles::OverwriteAll) {
        remembered_ = true;
        rememberedDecision_ = ConflictDecision::Overwrite;
    } else if (policy == ExistingFiles::SkipAll) {
        remembered_ = true;
        rememberedDecision_ = ConflictDecision::Skip;
    } else if (!console.InputIsTerminal()) {
        remembered_ = true;
        rememberedDecision_ = ConflictDecision::Skip;
        skipsSilently_ = true;
    }
}

ConflictDecision ConflictResolver::Decide(const std::wstring& name) {
    return remembered_ ? rememberedDecision_ : Ask(name);
}

ConflictDecision ConflictResolver::Ask(const std::wstring& name) {
    for (;;) {
        console_.Err(L"'" + name +
                     L"' already exists. Overwrite? [y]es, [n]o, [r]ename, [A]ll, [N]one, [R]ename all, [c]ancel: ");
        std::wstring answer;
        if (!console_.ReadLine(answer)) {
            console_.Err(L"\n");
            return ConflictDecision::Cancel;
        }
        struct Choice {
            const wchar_t* key;
            ConflictDecision decision;
            bool forAll;
        };
        static const Choice kChoices[] = {
            {L"y", ConflictDecision::Overwrite, false}, {L"n", ConflictDecision::Skip, false},
            {L"r", ConflictDecision::Rename, false},    {L"A", ConflictDecision::Overwrite, true},
            {L"N", ConflictDecision::Skip, true},       {L"R", ConflictDecision::Rename, true},
            {L"c", ConflictDecision::Cancel, false},
        };
        for (const Choice& choice : kChoices) {
            if (answer == choice.key) {
                if (choice.forAll) {
                    remembered_ = true;
                    rememberedDecision_ = choice.decision;
                }
                return choice.decision;
            }
        }
    }
}

}  // namespace Arkova::Cli
