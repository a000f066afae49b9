#include "app/shell_integration.h"

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell_notify.h"

namespace Arkova {

namespace {

using Platform::kRegistryOk;
using Platform::RegistryAccess;
using Platform::RegistryKey;

const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kProgIdKey = kClasses + kProgId;

struct ContextMenuVerb {
    const wchar_t* key;
    const wchar_t* caption;
    const wchar_t* arguments;
    bool separatorBefore;
    bool separatorAfter;
};

const ContextMenuVerb kContextMenuVerbs[] = {
    {L"Arkova1_ExtractNewFolder", L"압축 풀기 (폴더 자동 생성)\t(&E)", L"/extractnewfolder \"%1\"", true, false},
    {L"Arkova2_ExtractHere", L"압축 풀기 (현재 폴더)\t(&X)", L"/extracthere \"%1\"", false, false},
    {L"Arkova3_ExtractTo", L"아르코반으로 압축 풀기\t(&F)", L"/extractto \"%1\"", false, false},
    {L"Arkova4_Open", L"아르코반으로 열기\t(&H)", L"\"%1\"", false, true},
};

// Every verb name this program has ever written, so that removal also cleans up after older versions.
const wchar_t* const kRemovedVerbs[] = {
    L"Arkova1_ExtractNewFolder",
    L"Arkova2_ExtractHere",
    L"Arkova3_ExtractTo",
    L"Arkova4_Open",
    L"Arkova1_ExtractHere",
    L"Arkova2_ExtractNewFolder",
    L"Arkova1_Open",
    L"Arkova5_Test",
    L"Arkova",
    L"ArkovaOpen",
    L"ArkovaExtract",
    L"ArkovaPreview",
    L"ArkovaTest",
};

const wchar_t* const kContextMenuRemovalExtensions[] = {L".zip", L".7z",  L".rar", L".tar", L".gz",  L".bz2",
                                                        L".xz",  L".cab", L".iso", L".wim", L".egg", L".alz"};

// The registry allows keys 512 levels deep; anything deeper is not a tree we wrote.
constexpr int kMaxTreeDepth = 512;

std::wstring SystemVerbKey(const std::wstring& extension, const std::wstring& verb) {
    return kClasses + L"SystemFileAssociations\\" + extension + L"\\shell\\" + verb;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Creates one key and sets its default value; false when either fails.
bool WriteDefaultValue(const std::wstring& path, const std::wstring& text) {
    RegistryKey key;
    return key.Create(path, RegistryAccess::Write) == kRegistryOk && key.SetString(L"", text) == kRegistryOk;
}

bool WriteVerb(const std::wstring& extension, const ContextMenuVerb& verb, const std::wstring& programPath) {
    std::wstring path = SystemVerbKey(extension, verb.key);
    bool written = true;
    {
        RegistryKey key;
        if (key.Create(path, RegistryAccess::Write) != kRegistryOk) return false;
        written &= key.SetString(L"", verb.caption) == kRegistryOk;
        written &= key.SetString(L"Icon", programPath) == kRegistryOk;
        if (verb.separatorBefore) written &= key.SetString(L"SeparatorBefore", L"") == kRegistryOk;
        if (verb.separatorAfter) written &= key.SetString(L"SeparatorAfter", L"") == kRegistryOk;
    }
    written &= WriteDefaultValue(path + L"\\command", Quoted(programPath) + L" " + verb.arguments);
    return written;
}

RegistryTreeRemoval RemoveTree(const std::wstring& path, int depth) {
    if (depth > kMaxTreeDepth) return RegistryTreeRemoval::Failed;
    RegistryKey key;
    Platform::RegistryResult opened = key.Open(path, RegistryAccess::ReadWrite);
    if (opened == Platform::kRegistryNotFound) return RegistryTreeRemoval::Missing;
    if (opened != kRegistryOk) return RegistryTreeRemoval::Failed;

    // Delete the sub-key at `index` until none is left there; a sub-key that stays (or comes back) is stepped over.
    std::uint32_t index = 0;
    std::wstring name;
    std::wstring lastRemoved;
    while (key.EnumSubKey(index, name) == kRegistryOk) {
        bool stuck = !lastRemoved.empty() && name == lastRemoved;
        if (!stuck && RemoveTree(path + L"\\" + name, depth + 1) != RegistryTreeRemoval::Failed) {
            lastRemoved = name;
            continue;
        }
        lastRemoved.clear();
        ++index;
    }
    key.Close();
    Platform::RegistryResult deleted = Platform::DeleteKey(path);
    // A key that still has a sub-key left cannot be deleted, so its failure shows here.
    if (deleted == kRegistryOk || deleted == Platform::kRegistryNotFound) return RegistryTreeRemoval::Deleted;
    return RegistryTreeRemoval::Failed;
}

}  // namespace

const std::vector<std::wstring>& RegistrableExtensions() {
    static const std::vector<std::wstring> extensions = {L".zip", L".7z",  L".rar", L".tar", L".gz",  L".bz2",
                                                         L".xz",  L".alz", L".egg", L".cab", L".iso", L".wim"};
    return extensions;
}

bool RegisterProgId() { return RegisterProgId(Platform::ExecutablePath()); }

bool RegisterProgId(const std::wstring& programPath) {
    {
        RegistryKey progId;
        if (progId.Create(kProgIdKey, RegistryAccess::Write) != kRegistryOk) return false;
        progId.SetString(L"", L"Arkova Archive");
    }
    // Later keys are independent: one that cannot be written does not stop the others.
    std::wstring program = Quoted(programPath);
    WriteDefaultValue(kProgIdKey + L"\\DefaultIcon", programPath + L",0");
    WriteDefaultValue(kProgIdKey + L"\\shell\\open\\command", program + L" \"%1\"");
    WriteDefaultValue(kProgIdKey + L"\\shell", L"open");
    WriteDefaultValue(kProgIdKey + L"\\shell\\extracthere", L"Extract Here");
    WriteDefaultValue(kProgIdKey + L"\\shell\\extracthere\\command", program + L" /extracthere \"%1\"");
    WriteDefaultValue(kProgIdKey + L"\\shell\\extractto", L"Extract to Folder...");
    WriteDefaultValue(kProgIdKey + L"\\shell\\extractto\\command", program + L" /extractto \"%1\"");
    return true;
}

bool AddOpenWithProgId(const std::wstring& extension) {
    RegistryKey key;
    if (key.Create(kClasses + extension + L"\\OpenWithProgids", RegistryAccess::Write) != kRegistryOk) return false;
    key.SetValue(kProgId, Platform::kRegistryTypeString, nullptr, 0);
    return true;
}

bool RemoveOpenWithProgId(const std::wstring& extension) {
    RegistryKey key;
    if (key.Open(kClasses + extension + L"\\OpenWithProgids", RegistryAccess::Write) != kRegistryOk) return false;
    key.DeleteValue(kProgId);
    return true;
}

bool RegisterShellIntegration() {
    if (!RegisterProgId()) return false;
    // An extension whose open-with list cannot be written still leaves the others registered.
    for (const std::wstring& extension : RegistrableExtensions()) AddOpenWithProgId(extension);
    Platform::NotifyAssociationsChanged();
    return true;
}

bool UnregisterFileAssociations() {
    for (const std::wstring& extension : RegistrableExtensions()) RemoveOpenWithProgId(extension);
    DeleteRegistryTree(kProgIdKey);
    Platform::NotifyAssociationsChanged();
    return true;
}

bool RegisterContextMenu(const std::vector<std::wstring>& extensions) {
    return RegisterContextMenu(extensions, Platform::ExecutablePath());
}

bool RegisterContextMenu(const std::vector<std::wstring>& extensions, const std::wstring& programPath) {
    bool allWritten = true;
    for (const std::wstring& extension : extensions) {
        for (const ContextMenuVerb& verb : kContextMenuVerbs) allWritten &= WriteVerb(extension, verb, programPath);
    }
    Platform::NotifyAssociationsChanged();
    return allWritten;
}

bool UnregisterContextMenu() {
    bool allRemoved = true;
    for (const wchar_t* extension : kContextMenuRemovalExtensions) {
        for (const wchar_t* verb : kRemovedVerbs) {
            allRemoved &= RemoveRegistryTree(SystemVerbKey(extension, verb)) != RegistryTreeRemoval::Failed;
        }
        for (const wchar_t* verb : kRemovedVerbs) {
            std::wstring path = kClasses + extension + L"\\shell\\" + verb;
            allRemoved &= RemoveRegistryTree(path) != RegistryTreeRemoval::Failed;
        }
    }
    Platform::NotifyAssociationsChanged();
    return allRemoved;
}

bool IsContextMenuRegistered(const std::wstring& extension) {
    RegistryKey key;
    return key.Open(SystemVerbKey(extension, L"Arkova1_ExtractNewFolder"), RegistryAccess::Read) == kRegistryOk;
}

RegistryTreeRemoval RemoveRegistryTree(const std::wstring& path) { return RemoveTree(path, 0); }

bool DeleteRegistryTree(const std::wstring& path) { return RemoveRegistryTree(path) == RegistryTreeRemoval::Deleted; }

}  // namespace Arkova
