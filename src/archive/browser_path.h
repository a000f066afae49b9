// The form in which the browser, the jobs and drag-out compare entry paths: "\" as "/", no trailing "/", the root as
// the empty text. Comparisons in this form are exact (code unit by code unit).
#pragma once

#include <string>
#include <string_view>

namespace Arkova {

// An entry path in the browser's form.
std::wstring BrowserPath(const std::wstring& entryPath);

// The same without copying when the path holds no "\": a view into entryPath, or else into scratch (overwritten).
// The view lives as long as the text it points into.
std::wstring_view BrowserPathView(std::wstring_view entryPath, std::wstring& scratch);

}  // namespace Arkova
