#include "preview/image_name.h"

#include <array>
#include <string>

namespace Arkova {

bool IsImageFileName(std::wstring_view name) {
    const std::size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring_view::npos) return false;
    std::wstring extension(name.substr(dot + 1));
    for (wchar_t& c : extension) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    static constexpr std::array<std::wstring_view, 11> kImageExtensions = {
        L"png", L"jpg", L"jpeg", L"bmp", L"gif", L"tiff", L"tif", L"ico", L"wdp", L"hdp", L"jxr"};
    for (std::wstring_view known : kImageExtensions) {
        if (extension == known) return true;
    }
    return false;
}

}  // namespace Arkova
