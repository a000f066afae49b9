// Where arkova-cli knowingly extracts less than 7z or bsdtar from libarchive's test archives, and why.
#pragma once

#include <string>
#include <vector>

namespace Arkova::Conformance {

struct KnownDifference {
    const char* archive;  // the archive's file name, or a pattern of names (fnmatch)
    const char* reason;
};

// Archives whose comparison is not held against arkova-cli, each with its reason.
const std::vector<KnownDifference>& KnownDifferences();
// The reason for an archive, or null when none is listed.
const char* KnownDifferenceFor(const std::string& archive);

}  // namespace Arkova::Conformance
