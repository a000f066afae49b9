// One self-overwriting progress line on standard error, shown only to a person watching.
#pragma once

#include <cstdint>
#include <string>

#include "cli/console.h"

namespace Arkova::Cli {

class ProgressLine {
public:
    ProgressLine(Console& console, bool enabled) : console_(console), enabled_(enabled && console.ErrorIsTerminal()) {}
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // `done` of `total` items finished, working on `name`; `namePercent` (0-100) tells how far that item is.
    void Show(std::uint64_t done, std::uint64_t total, const std::wstring& name, int namePercent = -1);
    // Removes the line, so that a message can follow on a clean line.
    void Clear();

private:
    Console& console_;
    bool enabled_;
    std::size_t shownWidth_ = 0;
};

}  // namespace Arkova::Cli
