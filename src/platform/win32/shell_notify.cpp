#include <shlobj.h>
#include <windows.h>

#include "platform/shell_notify.h"

namespace Arkova::Platform::Detail {

void SendAssociationChangeToShell() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace Arkova::Platform::Detail
