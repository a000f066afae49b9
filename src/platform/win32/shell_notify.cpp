#include <windows.h>

#include <shlobj.h>

#include "platform/shell_notify.h"

namespace Arkova::Platform::Detail {

void SendAssociationChangeToShell() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace Arkova::Platform::Detail
