#include "platform/shell_notify.h"

#include <atomic>

namespace Arkova::Platform {

namespace {
std::atomic<unsigned> notifications{0};
}

void NotifyAssociationsChanged() {
    ++notifications;
    Detail::SendAssociationChangeToShell();
}

unsigned AssociationChangeNotifications() { return notifications.load(); }

}  // namespace Arkova::Platform
