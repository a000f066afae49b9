// Which entry names the preview and the thumbnails treat as images: by the extension after the last ".",
// ASCII letters compared without case.
#pragma once

#include <string_view>

namespace Arkova {

bool IsImageFileName(std::wstring_view name);

}  // namespace Arkova
