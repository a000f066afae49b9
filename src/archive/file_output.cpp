#include "archive/file_output.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova {

std::wstring PartialFileName(const std::wstring& target) {
    std::wstring candidate = target + L".arkova-part";
    for (unsigned n = 2; Platform::PathExists(candidate); ++n) {
        candidate = target + L".arkova-part" + std::to_wstring(n);
    }
    return candidate;
}

bool WriteFileReplacing(const std::wstring& target, const std::vector<std::uint8_t>& data,
                        std::uint64_t modifiedTimeUtc, std::size_t piece, const WriteProgress& progress) {
    std::wstring partial = PartialFileName(target);
    Platform::OutputFile file;
    if (!file.Create(partial)) return false;
    if (piece == 0 || !progress) piece = data.size();
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        std::size_t length = std::min(piece, data.size() - done);
        ok = file.Write(data.data() + done, length);
        done += length;
        if (ok && progress) ok = progress(done, data.size());
    }
    if (ok && modifiedTimeUtc != 0) file.SetModifiedTime(modifiedTimeUtc);
    ok = file.Close() && ok;
    if (ok) ok = Platform::RenamePath(partial, target, true);
    if (!ok) Platform::RemoveFile(partial);
    return ok;
}

}  // namespace Arkova
