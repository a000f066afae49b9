#include "ui/status_texts.h"

#include <cwchar>

namespace Arkova::Ui {

std::wstring FormatSize(std::uint64_t bytes) {
    wchar_t text[48];
    if (bytes >= 1073741824ULL) {
        std::swprintf(text, 48, L"%.1fGB", static_cast<double>(bytes) / 1073741824.0);
    } else if (bytes >= 1048576ULL) {
        std::swprintf(text, 48, L"%.1fMB", static_cast<double>(bytes) / 1048576.0);
    } else if (bytes < 1024) {
        std::swprintf(text, 48, L"%lluB", static_cast<unsigned long long>(bytes));
    } else {
        std::swprintf(text, 48, L"%.1fKB", static_cast<double>(bytes) / 1024.0);
    }
    return text;
}

std::wstring ArchiveSummaryText(std::size_t files, std::size_t folders, std::uint64_t packedBytes) {
    return L"파일: " + std::to_wstring(files) + L", 폴더: " + std::to_wstring(folders) + L", 압축 파일 크기: " +
           FormatSize(packedBytes);
}

std::wstring SelectionSummaryText(std::size_t files, std::size_t folders, std::uint64_t sizeBytes,
                                  std::uint64_t packedBytes) {
    if (files == 0 && folders == 0) return {};
    if (files == 0) return std::to_wstring(folders) + L" 폴더 선택됨";
    double ratio = sizeBytes != 0 ? static_cast<double>(packedBytes) / static_cast<double>(sizeBytes) * 100.0 : 0.0;
    wchar_t ratioText[64];
    std::swprintf(ratioText, 64, L"%.1f%%", ratio);
    std::wstring sizes =
        FormatSize(sizeBytes) + L" (압축된 크기: " + FormatSize(packedBytes) + L", " + ratioText + L")";
    if (folders == 0) return std::to_wstring(files) + L" 파일 선택됨, " + sizes;
    return std::to_wstring(files) + L" 파일, " + std::to_wstring(folders) + L" 폴더 선택됨, " + sizes;
}

std::wstring SearchCountText(std::size_t count) { return std::to_wstring(count) + L" items found"; }

}  // namespace Arkova::Ui
