// Whether the parallel engine can take a job. It reads the ZIP directory itself and inflates only stored and
// deflated entries without encryption; anything else goes entry by entry through the archive context, so that every
// entry the library can read still extracts.
#pragma once

#include <string>

namespace Arkova {

// The file starts with a plain ZIP local header whose encryption flag is clear, and the engine can extract every
// entry of its directory.
bool EngineCanExtractWholeArchive(const std::wstring& archivePath);
// The file starts with "PK", and the engine can extract every entry of its directory.
bool EngineCanExtractEntries(const std::wstring& archivePath);

}  // namespace Arkova
