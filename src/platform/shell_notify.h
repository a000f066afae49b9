// Telling the shell that file associations changed, so that icons and context menus are read again.
#pragma once

namespace Arkova::Platform {

// SHChangeNotify(SHCNE_ASSOCCHANGED) on Windows; elsewhere no desktop shell reads our associations, so nothing.
void NotifyAssociationsChanged();

// How many notifications this process has sent, for tests that check when the shell is told.
unsigned AssociationChangeNotifications();

namespace Detail {
void SendAssociationChangeToShell();
}

}  // namespace Arkova::Platform
