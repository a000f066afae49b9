#include "archive/sevenzip/formats.h"

#include <algorithm>
#include <cwctype>

namespace Arkova::SevenZip {

namespace {

struct ExtensionFormat {
    const wchar_t* extension;
    std::uint8_t format;
};

constexpr ExtensionFormat kExtensionTable[] = {
    {L"zip", kFormatZip},     {L"zipx", kFormatZip}, {L"jar", kFormatZip},   {L"apk", kFormatZip},
    {L"7z", kFormatSevenZip}, {L"rar", kFormatRar5}, {L"tar", kFormatTar},   {L"gz", kFormatGZip},
    {L"gzip", kFormatGZip},   {L"tgz", kFormatGZip}, {L"bz2", kFormatBZip2}, {L"tbz2", kFormatBZip2},
    {L"tbz", kFormatBZip2},   {L"xz", kFormatXz},    {L"txz", kFormatXz},    {L"cab", kFormatCab},
    {L"iso", kFormatIso},     {L"wim", kFormatWim},  {L"swm", kFormatWim},   {L"esd", kFormatWim},
};

bool SignatureMatches(const FormatInfo& format, const std::vector<std::uint8_t>& head) {
    for (const auto& signature : format.signatures) {
        std::size_t offset = format.signatureOffset;
        if (offset > head.size() || signature.size() > head.size() - offset) continue;
        if (std::equal(signature.begin(), signature.end(), head.begin() + static_cast<std::ptrdiff_t>(offset))) {
            return true;
        }
    }
    return false;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return text;
}

bool NamedOneOf(const FormatInfo& format, std::initializer_list<const wchar_t*> names) {
    std::wstring name = Lower(format.name);
    return std::any_of(names.begin(), names.end(), [&name](const wchar_t* n) { return name == n; });
}

}  // namespace

std::uint8_t FormatForExtension(const std::wstring& extension) {
    for (const ExtensionFormat& entry : kExtensionTable) {
        if (extension == entry.extension) return entry.format;
    }
    return kFormatAuto;
}

std::vector<const FormatInfo*> DetectionOrder(const Library& library, const std::vector<std::uint8_t>& head) {
    std::vector<const FormatInfo*> matching;
    std::vector<const FormatInfo*> others;
    for (const FormatInfo& format : library.Formats()) {
        if ((format.flags & (kFlagHashHandler | kFlagByExtensionOnly)) != 0) continue;
        (SignatureMatches(format, head) ? matching : others).push_back(&format);
    }
    matching.insert(matching.end(), others.begin(), others.end());
    return matching;
}

bool IsSingleStreamFormat(const FormatInfo& format) {
    return NamedOneOf(format, {L"gzip", L"bzip2", L"xz", L"z", L"lzma", L"lzma86", L"zstd", L"lz4", L"lzip"});
}

bool CrcIsNotCrc32(const FormatInfo& format) { return NamedOneOf(format, {L"lzh"}); }

bool HasCodePageNames(const FormatInfo& format) {
    return NamedOneOf(format, {L"zip", L"tar", L"cab", L"rar", L"arj", L"lzh", L"cpio", L"gzip"});
}

bool TakesCodePageProperty(const FormatInfo& format) { return NamedOneOf(format, {L"zip", L"tar"}); }

}  // namespace Arkova::SevenZip
