// Selectors of the methods and properties the system adds to host classes, shared by the
// styling code and the hook table that installs them.
#pragma once

#include "shared/added_views.h"

namespace sel {
// Added properties of notification cards (the shared ones are in shared/added_views.h)
inline const Sel<Ref<>()> colorIndicator{"colorIndicator"};
inline const Sel<void(id)> setColorIndicator{"setColorIndicator:"};
inline const Sel<Ref<>()> imageIndicator{"imageIndicator"};
inline const Sel<void(id)> setImageIndicator{"setImageIndicator:"};
inline const Sel<Ref<>()> imageIndicatorCorner{"imageIndicatorCorner"};
inline const Sel<void(id)> setImageIndicatorCorner{"setImageIndicatorCorner:"};
// Added methods of NCNotificationShortLookViewController
inline const Sel<void(bool)> lumoraHideHeader{"lumoraHideHeader:"};
inline const Sel<void(bool)> lumoraHideGroupedNotifications{"lumoraHideGroupedNotifications:"};
inline const Sel<Ref<>()> getDominantColor{"getDominantColor"};
inline const Sel<Ref<>(id, bool)> getIconForBundleId_withMask{"getIconForBundleId:withMask:"};
inline const Sel<Ref<>()> getContactPicture{"getContactPicture"};
// FolderFinder, class messages
inline const Sel<Ref<>(id)> findSharedFolder{"findSharedFolder:"};
inline const Sel<Ref<>(id, id)> findFolder_folder{"findFolder:folder:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName FolderFinder{"FolderFinder"};
}  // namespace cls

namespace lumora {
// Sections that never get an icon colour, a fallback title or the thumbnail rule.
inline constexpr const char* kDoNotDisturbSection = "com.apple.donotdisturb";
inline constexpr const char* kSmartChargingSection = "com.apple.powerui.smartcharging";
}  // namespace lumora
