#include "options/shell_file_types.h"

#include "app/shell_integration.h"

namespace Arkova {

std::vector<ShellFileType> DefaultShellFileTypes() {
    return {
        {L".zip", L"ZIP 압축 파일"},   {L".alz", L"ALZ 압축 파일"},     {L".egg", L"EGG 압축 파일"},
        {L".rar", L"RAR 압축 파일"},   {L".7z", L"7-Zip 압축 파일"},    {L".tar", L"TAR 아카이브"},
        {L".gz", L"GZip 압축 파일"},   {L".bz2", L"BZip2 압축 파일"},   {L".xz", L"XZ 압축 파일"},
        {L".cab", L"Cabinet 파일"},    {L".iso", L"ISO 디스크 이미지"}, {L".wim", L"WIM 이미지"},
    };
}

std::wstring ShellFileTypeText(const ShellFileType& type) { return type.extension + L" - " + type.description; }

std::vector<std::wstring> CheckedExtensions(const std::vector<ShellFileType>& types) {
    std::vector<std::wstring> extensions;
    for (const ShellFileType& type : types) {
        if (type.checked) extensions.push_back(type.extension);
    }
    return extensions;
}

void LoadRegistrationStates(std::vector<ShellFileType>& types) {
    for (ShellFileType& type : types) type.checked = IsContextMenuRegistered(type.extension);
}

}  // namespace Arkova
