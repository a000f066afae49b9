// The archive test report as the front ends show it: one row per tested file entry.
#pragma once

#include <string>
#include <vector>

#include "archive/item_test_result.h"

namespace Arkova {

struct TestReport {
    std::vector<ItemTestResult> results;  // in the order they were tested
    std::wstring archiveName;
    std::vector<std::wstring> warnings;  // the decoder's, as ShowWarnings got them; a warning fails no entry
};

}  // namespace Arkova
