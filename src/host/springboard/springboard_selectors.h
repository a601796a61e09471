// Selector constants of the home screen's private classes.
#pragma once

#include "host/uikit/uikit_selectors.h"

namespace sel {
// Notifications
inline const Sel<CGSize(CGSize)> sizeThatFitsContentWithSize{"sizeThatFitsContentWithSize:"};
inline const Sel<CGRect()> _mainContentFrame{"_mainContentFrame"};
inline const Sel<CGFloat()> _iconTrailingPadding{"_iconTrailingPadding"};
inline const Sel<Ref<>()> primaryText{"primaryText"};
inline const Sel<void(id)> setPrimaryText{"setPrimaryText:"};
inline const Sel<Ref<>()> associatedView{"associatedView"};
inline const Sel<void(id)> setAssociatedView{"setAssociatedView:"};
inline const Sel<Ref<>()> viewForPreview{"viewForPreview"};
inline const Sel<Ref<>()> backgroundMaterialView{"backgroundMaterialView"};
inline const Sel<Ref<>()> customContentView{"customContentView"};

// Widgets
inline const Sel<Ref<>(id)> initWithWidgetIdentifier{"initWithWidgetIdentifier:"};
inline const Sel<Ref<>()> widgetIdentifier{"widgetIdentifier"};
inline const Sel<void(id)> _setIcon{"_setIcon:"};
inline const Sel<Ref<>()> _icon{"_icon"};
inline const Sel<void()> _layoutContentView{"_layoutContentView"};

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
}  // namespace cls
