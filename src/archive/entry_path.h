// Turning untrusted entry paths into output paths that stay inside the destination folder.
#pragma once

#include <string>

namespace Arkova {

// The entry path as a relative path with the platform's separators ("\" and "/" both split), or false when it could
// leave the destination or name a device: a ".." part, a leading separator (root or UNC), a drive prefix (and on Windows any
// stream colon),
// a reserved device name (CON, NUL, COM1, ...), a part of dots and spaces only, or a control character. Empty parts
// and "." parts are dropped; nothing left is refused as well.
bool MakeSafeRelativePath(const std::wstring& entryPath, std::wstring& relative);

// folder + separator + the safe relative path; false as above.
bool SafeOutputPath(const std::wstring& folder, const std::wstring& entryPath, std::wstring& output);

}  // namespace Arkova
