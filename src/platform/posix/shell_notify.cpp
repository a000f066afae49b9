#include "platform/shell_notify.h"

namespace Arkova::Platform::Detail {

void SendAssociationChangeToShell() {}

}  // namespace Arkova::Platform::Detail
