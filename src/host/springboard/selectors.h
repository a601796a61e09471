// Selector constants of the home screen's private classes.
#pragma once

#include "host/uikit/view_selectors.h"

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
