#include "known_differences.h"

#include <cstring>

namespace Arkova::Conformance {

namespace {

constexpr const char* kPendingPerEntry = "pending: per-entry failures";
constexpr const char* kPendingZipNames = "pending: zip names";

}  // namespace

const std::vector<KnownDifference>& KnownDifferences() {
    static const std::vector<KnownDifference> kList = {
        {"test_read_format_zip.zip", kPendingPerEntry},
        {"test_read_format_zip_msdos.zip", kPendingZipNames},
        {"test_read_format_zip_7075_utf8_paths.zip", kPendingZipNames},
    };
    return kList;
}

const char* KnownDifferenceFor(const std::string& archive) {
    for (const KnownDifference& difference : KnownDifferences()) {
        if (archive == difference.archive) return difference.reason;
    }
    return nullptr;
}

}  // namespace Arkova::Conformance
