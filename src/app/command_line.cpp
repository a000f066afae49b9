#include "app/command_line.h"

#include <cwctype>
#include <vector>

#include "platform/file_system.h"

namespace Arkova {

namespace {

// Quotes group spaces and stay in the token; only one leading and one trailing quote are removed at the end.
std::vector<std::wstring> SplitTokens(const std::wstring& commandLine) {
    std::vector<std::wstring> tokens;
    std::wstring token;
    bool quoted = false;
    auto finish = [&tokens, &token] {
        if (token.empty()) return;
        std::wstring copy = token;
        if (copy.front() == L'"') copy.erase(0, 1);
        if (!copy.empty() && copy.back() == L'"') copy.pop_back();
        tokens.push_back(copy);
        token.clear();
    };
    for (wchar_t c : commandLine) {
        if (c == L'"') {
            quoted = !quoted;
            token += c;
        } else if (c == L' ' && !quoted) {
            finish();
        } else {
            token += c;
        }
    }
    finish();
    return tokens;
}

struct SwitchForm {
    const wchar_t* name;  // without the leading "/" or "-"
    CommandAction action;
    bool takesPath;
};

constexpr SwitchForm kSwitches[] = {
    {L"extract", ActionExtractHere, true},   {L"extracthere", ActionExtractHere, true},
    {L"extractnewfolder", ActionExtractNewFolder, true}, {L"extractto", ActionExtractTo, true},
    {L"preview", ActionPreview, true},       {L"test", ActionTest, true},
    {L"register", ActionRegister, false},    {L"unregister", ActionUnregister, false},
};

// The switch's name in lower case without its "/" or "-"; empty when the token is no switch.
std::wstring SwitchName(const std::wstring& token) {
    if (token.size() < 2 || (token[0] != L'/' && token[0] != L'-')) return {};
    std::wstring lower;
    for (std::size_t i = 1; i < token.size(); ++i) lower += static_cast<wchar_t>(std::towlower(token[i]));
    return lower;
}

const SwitchForm* FindSwitch(const std::wstring& name) {
    for (const SwitchForm& form : kSwitches) {
        if (name == form.name) return &form;
    }
    return nullptr;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::wstring& commandLine) {
    ParsedCommandLine result;
    std::vector<std::wstring> tokens = SplitTokens(commandLine);
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::wstring& token = tokens[i];
        const std::wstring name = SwitchName(token);
        if (name == L"quiet") {
            result.quiet = true;
        } else if (const SwitchForm* form = FindSwitch(name)) {
            result.action = form->action;
            if (form->takesPath && i + 1 < tokens.size()) result.path = tokens[++i];
        } else if (!token.empty() && token[0] != L'/' && token[0] != L'-') {
            result.path = token;
            if (result.action == ActionNone) result.action = ActionOpen;
        }
    }
    return result;
}

std::wstring ArchiveFolder(const std::wstring& path) {
    std::size_t separator = Platform::LastSeparator(path);
    return separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator);
}

std::wstring NewFolderTarget(const std::wstring& path) {
    std::size_t separator = Platform::LastSeparator(path);
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    std::wstring base = ArchiveFolder(path) + Platform::kPathSeparator + name;
    if (!Platform::PathExists(base)) return base;
    for (unsigned n = 2;; ++n) {
        std::wstring candidate = base + L" (" + std::to_wstring(n) + L")";
        if (!Platform::PathExists(candidate)) return candidate;
    }
}

}  // namespace Arkova
