// The lockscreen media player of the home screen, about 359 x 200 points.
#pragma once

#include "host/springboard/notification_views.h"

namespace host {

// CSMediaControlsView: the lockscreen media player; its didMoveToWindow is UIView's.
class CSMediaControlsView : public UIView {
 public:
  static inline const rt::ClassOf<CSMediaControlsView> cls{"CSMediaControlsView"};
};

// SBMediaController: the home screen's now-playing state.
class SBMediaController : public NSObject {
 public:
  static inline const rt::ClassOf<SBMediaController> cls{"SBMediaController"};
  static void bind(ClassBuilder<SBMediaController>& b);
  void mediaRemoteNowPlayingInfoDidChange(id) {}
};

// CSCoverSheetViewController: the lockscreen's controller; its loadView is inherited.
class CSCoverSheetViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<CSCoverSheetViewController> cls{"CSCoverSheetViewController"};
};

void defineMediaPlayer(ClassList& list);

}  // namespace host
