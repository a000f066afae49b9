// The stored settings that the extraction jobs act on, read once by whoever starts a job and handed to it.
#pragma once

#include "app/settings.h"

namespace Arkova {

struct JobSettings {
    // Plain ZIP archives and multi-item jobs go through the parallel engine.
    bool useParallelAllExtract = kDefaultUseParallelAllExtract;
    // A whole-archive engine run writes into a staging folder that is then merged into the destination.
    bool useParallelTempFolder = kDefaultUseParallelTempFolder;
};

// UseParallelAllExtract and UseParallelTempFolder from the store; each default when absent or unreadable.
JobSettings ReadJobSettings();

}  // namespace Arkova
