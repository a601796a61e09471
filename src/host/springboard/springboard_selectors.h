// Selector constants of the home screen's private classes.
#pragma once

#include "host/uikit/uikit_selectors.h"

// The icon image request the host's icon views pass by value: the size in points, the
// scale and the corner radius of the mask.
struct SBIconImageInfo {
  rt::CGSize size;
  rt::CGFloat scale = 0;
  rt::CGFloat continuousCornerRadius = 0;
  bool operator==(const SBIconImageInfo&) const = default;
};

template <>
struct rt::Encoding<SBIconImageInfo> {
  static std::string get() { return "{SBIconImageInfo={CGSize=dd}dd}"; }
};

// The keys a contact fetch names.
inline constexpr const char* CNContactIdentifierKey = "identifier";
inline constexpr const char* CNContactImageDataKey = "imageData";

namespace sel {
// Notifications
inline const Sel<CGSize(CGSize)> sizeThatFitsContentWithSize{"sizeThatFitsContentWithSize:"};
inline const Sel<CGRect()> _mainContentFrame{"_mainContentFrame"};
inline const Sel<CGFloat()> _iconTrailingPadding{"_iconTrailingPadding"};
inline const Sel<Ref<>()> primaryText{"primaryText"};
inline const Sel<void(id)> setPrimaryText{"setPrimaryText:"};
inline const Sel<void(id)> setSummaryText{"setSummaryText:"};
inline const Sel<Ref<>()> associatedView{"associatedView"};
inline const Sel<void(id)> setAssociatedView{"setAssociatedView:"};
inline const Sel<Ref<>()> viewForPreview{"viewForPreview"};
inline const Sel<Ref<>()> backgroundMaterialView{"backgroundMaterialView"};
inline const Sel<Ref<>()> customContentView{"customContentView"};

// Notification requests
inline const Sel<Ref<>()> sectionIdentifier{"sectionIdentifier"};
inline const Sel<Ref<>()> threadIdentifier{"threadIdentifier"};
inline const Sel<Ref<>()> content{"content"};
inline const Sel<Ref<>()> userNotification{"userNotification"};
inline const Sel<Ref<>()> request{"request"};
inline const Sel<Ref<>()> context{"context"};
inline const Sel<Ref<>()> title{"title"};
inline const Sel<Ref<>()> subtitle{"subtitle"};
inline const Sel<Ref<>()> message{"message"};
inline const Sel<Ref<>()> attachmentImage{"attachmentImage"};
inline const Sel<Ref<>()> notificationRequest{"notificationRequest"};
inline const Sel<Ref<>(id)> initWithNotificationRequest{"initWithNotificationRequest:"};

// Notification views and the lockscreen list
inline const Sel<Ref<>()> icons{"icons"};
inline const Sel<Ref<>()> iconButtons{"iconButtons"};
inline const Sel<Ref<>()> contentView{"contentView"};
inline const Sel<Ref<>()> _notificationCellView{"_notificationCellView"};
inline const Sel<Ref<>(uint64_t)> _visibleViewAtIndex{"_visibleViewAtIndex:"};
inline const Sel<bool()> isGrouped{"isGrouped"};

// Icons, apps and contacts
inline const Sel<Ref<>()> model{"model"};
inline const Sel<Ref<>(id)> expectedIconForDisplayIdentifier{"expectedIconForDisplayIdentifier:"};
inline const Sel<Ref<>(SBIconImageInfo)> generateIconImageWithInfo{"generateIconImageWithInfo:"};
inline const Sel<Ref<>(SBIconImageInfo)> unmaskedIconImageWithInfo{"unmaskedIconImageWithInfo:"};
inline const Sel<Ref<>(id)> applicationWithBundleIdentifier{"applicationWithBundleIdentifier:"};
inline const Sel<Ref<>()> displayName{"displayName"};
inline const Sel<Ref<>()> bundleIdentifier{"bundleIdentifier"};
inline const Sel<Ref<>(id, id, Ref<>*)> unifiedContactWithIdentifier_keysToFetch_error{
    "unifiedContactWithIdentifier:keysToFetch:error:"};
inline const Sel<Ref<>()> identifier{"identifier"};
inline const Sel<Ref<>()> imageData{"imageData"};

// Installed applications, bulletins and the lock screen
inline const Sel<Ref<>()> defaultWorkspace{"defaultWorkspace"};
inline const Sel<Ref<>()> allInstalledApplications{"allInstalledApplications"};
inline const Sel<Ref<>()> applicationType{"applicationType"};
inline const Sel<Ref<>()> appTags{"appTags"};
inline const Sel<bool()> isLaunchProhibited{"isLaunchProhibited"};
inline const Sel<bool()> isPlaceholder{"isPlaceholder"};
inline const Sel<bool()> isRemovedSystemApp{"isRemovedSystemApp"};
inline const Sel<Ref<>()> applicationIdentifier{"applicationIdentifier"};
inline const Sel<Ref<>(id)> localizedNameForContext{"localizedNameForContext:"};
inline const Sel<Ref<>(id, id, id)> showBulletinWithTitle_message_bundleID{
    "showBulletinWithTitle:message:bundleID:"};
inline const Sel<void(int32_t, id)> lockUIFromSource_withOptions{"lockUIFromSource:withOptions:"};

// Widgets
inline const Sel<Ref<>(id)> initWithWidgetIdentifier{"initWithWidgetIdentifier:"};
inline const Sel<Ref<>()> widgetIdentifier{"widgetIdentifier"};
inline const Sel<void(id)> _setIcon{"_setIcon:"};
inline const Sel<Ref<>()> _icon{"_icon"};
inline const Sel<void()> _layoutContentView{"_layoutContentView"};
inline const Sel<Ref<>()> widgetHost{"widgetHost"};
inline const Sel<Ref<>()> widgetInfo{"widgetInfo"};

// Media player
inline const Sel<void(id)> _mediaRemoteNowPlayingInfoDidChange{
    "_mediaRemoteNowPlayingInfoDidChange:"};
}  // namespace sel

namespace cls {
inline const rt::ClassName PLPlatterView{"PLPlatterView"};
inline const rt::ClassName PLTitledPlatterView{"PLTitledPlatterView"};
inline const rt::ClassName PLPlatterHeaderContentView{"PLPlatterHeaderContentView"};
inline const rt::ClassName BSUIDefaultDateLabel{"BSUIDefaultDateLabel"};
inline const rt::ClassName NCNotificationShortLookView{"NCNotificationShortLookView"};
inline const rt::ClassName NCNotificationContentView{"NCNotificationContentView"};
inline const rt::ClassName NCAuxiliaryOptionsView{"NCAuxiliaryOptionsView"};
inline const rt::ClassName NCNotificationRequest{"NCNotificationRequest"};
inline const rt::ClassName NCNotificationListView{"NCNotificationListView"};
inline const rt::ClassName NCNotificationListCell{"NCNotificationListCell"};
inline const rt::ClassName SBIconController{"SBIconController"};
inline const rt::ClassName SBApplicationController{"SBApplicationController"};
inline const rt::ClassName CNContactStore{"CNContactStore"};
inline const rt::ClassName NCNotificationViewController{"NCNotificationViewController"};
inline const rt::ClassName NCNotificationShortLookViewController{
    "NCNotificationShortLookViewController"};
inline const rt::ClassName NCNotificationStructuredListViewController{
    "NCNotificationStructuredListViewController"};
inline const rt::ClassName WGWidgetInfo{"WGWidgetInfo"};
inline const rt::ClassName WGWidgetPlatterView{"WGWidgetPlatterView"};
inline const rt::ClassName WGWidgetListItemViewController{"WGWidgetListItemViewController"};
inline const rt::ClassName CSMediaControlsView{"CSMediaControlsView"};
inline const rt::ClassName CSCoverSheetViewController{"CSCoverSheetViewController"};
inline const rt::ClassName SBMediaController{"SBMediaController"};
inline const rt::ClassName JBBulletinManager{"JBBulletinManager"};
inline const rt::ClassName LSApplicationWorkspace{"LSApplicationWorkspace"};
inline const rt::ClassName SBLockScreenManager{"SBLockScreenManager"};
}  // namespace cls
