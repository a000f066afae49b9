// The archive test on every core: a plain ZIP, ALZ or EGG archive is decoded and checked by the parallel engine in
// one run that writes nothing, with the results and progress the entry-by-entry test gives.
#pragma once

#include <optional>
#include <vector>

#include "archive/archive_context.h"

namespace Arkova {

// Installs TestWithParallelEngine as every context's parallel tester. Any thread, before the first test.
void InstallParallelTest();

// The results for the context's open archive, in item order; nothing when the engine cannot take it (the caller then
// tests as before). `callback` runs on the calling thread, which waits for the engine's own thread meanwhile; false
// from it cancels the run and the results so far are returned.
std::optional<std::vector<ItemTestResult>> TestWithParallelEngine(const ArchiveContext& context,
                                                                  const TestProgressCallback& callback);

// The same with a given number of processors (tests compare runs over worker counts).
std::optional<std::vector<ItemTestResult>> TestWithParallelEngine(const ArchiveContext& context,
                                                                  const TestProgressCallback& callback,
                                                                  unsigned processorCount);

}  // namespace Arkova
