// How the host shows notifications. Banners appear on the home screen in their own
// window: each banner's container is 8 points in from the sides, the first 44 points
// from the top (below the status bar), the next 8 points below it, each as high as its
// card measures (`sizeThatFitsContentWithSize:` through the runtime, on every layout).
// The lockscreen window holds the list controller's view 200 points from the top, below
// the clock, and lower by the media player's room while the player shows (see
// media_player.h); the cover sheet's view fills the window behind the list. A banner's controller
// has no associated view; a lockscreen notification's is its list cell.
#pragma once

#include <string>

#include "host/springboard/notification_list.h"

namespace host {

class SBBannerWindow : public UIWindow {
 public:
  static inline const rt::ClassOf<SBBannerWindow> cls{"SBBannerWindow"};
  static void bind(ClassBuilder<SBBannerWindow>& b);
  static constexpr CGFloat kTop = 44, kInset = 8, kSpacing = 8;
  void layoutSubviews();
};

class SBCoverSheetWindow : public UIWindow {
 public:
  static inline const rt::ClassOf<SBCoverSheetWindow> cls{"SBCoverSheetWindow"};
  static void bind(ClassBuilder<SBCoverSheetWindow>& b);
  static constexpr CGFloat kListTop = 200;
  void layoutSubviews();
};

// Presents the request as a banner; answers its controller (nil when this host lacks
// the notification classes).
Ref<> presentBanner(id request);
// Puts the request on the lockscreen list, in the stack of that name (a new stack for an
// empty name or a new one; a stack of two or more starts collapsed), with the options
// row when asked. Answers its controller.
Ref<> showOnLockscreen(id request, const std::string& stack, bool options);
// The lockscreen list controller, made with the lockscreen on first use.
Ref<> lockscreenListController();
// The windows made so far (nil until their first notification).
Ref<> bannerWindow();
Ref<> lockscreenWindow();
// The lockscreen window, made if need be, shown.
Ref<> showLockscreenWindow();

// Locking removes the banners, shows the lockscreen window with the cover sheet and the
// notification list (made if need be) and marks the device locked; unlocking hides the
// lockscreen, leaving what is on it there. The media player follows
// (on or off screen, see media_player.h).
void lockDevice();
void unlockDevice();

void definePresentation(ClassList& list);
void resetPresentation();

}  // namespace host
