// Hooking the program into the Windows shell, per user under HKEY_CURRENT_USER\Software\Classes:
//  - the file association: the ProgID "Arkova.Archive" (icon, open command, two extraction verbs) and an entry in
//    the open-with list of each archive extension; the extensions' default handler is never changed;
//  - the context-menu verbs under SystemFileAssociations\<extension>\shell, written for the extensions the user picks.
// Each has its own removal, and neither removal touches what the other wrote. After every change the shell is told
// that associations changed. Callers are on the user-interface thread (or the console front end's only thread).
#pragma once

#include <string>
#include <vector>

namespace Arkova {

inline constexpr wchar_t kProgId[] = L"Arkova.Archive";

// ".zip", ".7z", ".rar", ".tar", ".gz", ".bz2", ".xz", ".alz", ".egg", ".cab", ".iso", ".wim".
const std::vector<std::wstring>& RegistrableExtensions();

// Writes the ProgID's keys. False only when its first key cannot be created; later keys that fail are skipped.
bool RegisterProgId();
bool RegisterProgId(const std::wstring& programPath);

// Adds or removes the empty value "Arkova.Archive" of Software\Classes\<extension>\OpenWithProgids. True when the
// key could be created (added) or opened (removed).
bool AddOpenWithProgId(const std::wstring& extension);
bool RemoveOpenWithProgId(const std::wstring& extension);

// The "register" command: the ProgID, then (only when that worked) the open-with entry of every registrable
// extension, each failure there skipped, and the shell told. False when the ProgID could not be written.
bool RegisterShellIntegration();

// Removes the open-with entries and the ProgID's tree, then notifies the shell. Always true.
bool UnregisterFileAssociations();

// Writes the four verbs for each extension, then notifies the shell. False when any key or value could not be
// written (the rest is still written).
bool RegisterContextMenu(const std::vector<std::wstring>& extensions);
bool RegisterContextMenu(const std::vector<std::wstring>& extensions, const std::wstring& programPath);

// Removes the current and earlier verb names of every supported extension, under both SystemFileAssociations and
// the extension's own key, then notifies the shell. False when a verb that exists could not be removed.
bool UnregisterContextMenu();

// Whether the first verb exists for the extension (the options page ticks its rows by this).
bool IsContextMenuRegistered(const std::wstring& extension);

enum class RegistryTreeRemoval { Deleted, Missing, Failed };

// Deletes a key under HKEY_CURRENT_USER with everything below it, deepest keys first. A sub-key that cannot be
// deleted is left in place (with its parents) and the walk goes on with its siblings, so it always ends.
RegistryTreeRemoval RemoveRegistryTree(const std::wstring& path);
// True when the tree existed and is gone.
bool DeleteRegistryTree(const std::wstring& path);

}  // namespace Arkova
