// Which writer thread puts a file in place. Every file of one folder goes to the same writer, which writes them in
// archive order: a later entry of a name then still replaces an earlier one, and two writers never create files in
// one folder at once (file systems lock a folder while a name is added to it).
#pragma once

#include <string>

namespace Arkova::FastZip {

// The writer, of `writers`, of the file at `targetPath`. Folder names that a file system may take for one folder
// give one writer: the comparison ignores ASCII case, counts every other character as alike, and drops the dots and
// spaces that Windows drops from the end of a name. (Too coarse a key costs only balance.)
unsigned WriterForFile(const std::wstring& targetPath, unsigned writers);

}  // namespace Arkova::FastZip
