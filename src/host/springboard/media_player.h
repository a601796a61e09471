// The lockscreen media player of the home screen, as the host nests it:
//
//   lockscreen window
//     cover sheet view (CSCoverSheetViewController's view, filling the screen)
//       CSMediaPlatterView: the player's platter, 8 points in from each side, 200 points
//       from the top, 359 x 200 on the model's screen; answers backgroundMaterialView
//         _backgroundMaterialView: the frosted material, filling the platter
//         _contentView (CSMediaControlsContainerView, S): filling the platter
//           _mediaControlsView (CSMediaControlsView): filling S
//             artwork 60 x 60 at (16, 16); title and artist beside it; the progress
//             track 92 points down with the times under it; previous, play and next
//             44 x 44 centred 126 points down; the volume track 180 points down.
//             Right to left everything mirrors but the playback controls (the
//             scrubber's track, fill and times, and the transport buttons, whose
//             semantic content is "playback"), which keep their left-to-right order.
//
// The player is on screen while a track plays and the lockscreen shows: playing a
// track, stopping, locking and unlocking put it on or take it off the cover sheet, and
// every such move runs `didMoveToWindow` on the player's views (through the runtime).
// The lockscreen's notification list sits below the player while it shows. The cover
// sheet's controller loads its view (`loadView`, through the runtime) the first time
// the lockscreen shows with something on it, or when the device locks.
//
// `SBMediaController` observes the now-playing service's change notification: its
// `_mediaRemoteNowPlayingInfoDidChange:` (through the runtime) shows the new track in
// the player and puts the player on or off screen.
#pragma once

#include <optional>

#include "host/foundation/now_playing.h"
#include "host/springboard/platter_views.h"
#include "host/uikit/view_controller.h"

namespace host {

// CSMediaControlsView: the player's controls; its didMoveToWindow is UIView's.
class CSMediaControlsView : public UIView {
 public:
  static inline const rt::ClassOf<CSMediaControlsView> cls{"CSMediaControlsView"};
  static void bind(ClassBuilder<CSMediaControlsView>& b);
  static constexpr CGFloat kArtworkSide = 60, kInset = 16;

  Ref<> initWithFrame(CGRect frame);
  // Shows the track's title, artist and artwork (nil: none).
  void showTrack(id title, id artist, id artwork);
  void layoutSubviews();

 private:
  Ref<> artworkView_, titleLabel_, artistLabel_, progressTrack_, progressFill_, elapsedLabel_,
      remainingLabel_, previousButton_, playButton_, nextButton_, volumeTrack_;
};

// S: the view between the platter and the controls; the controls fill it.
class CSMediaControlsContainerView : public UIView {
 public:
  static inline const rt::ClassOf<CSMediaControlsContainerView> cls{"CSMediaControlsContainerView"};
  static void bind(ClassBuilder<CSMediaControlsContainerView>& b);
  void layoutSubviews();
};

// The player's platter: a rounded card (radius 13, continuous corners) with the frosted
// material of the notification cards behind the controls.
class CSMediaPlatterView : public PLPlatterView {
 public:
  static inline const rt::ClassOf<CSMediaPlatterView> cls{"CSMediaPlatterView"};
  static void bind(ClassBuilder<CSMediaPlatterView>& b);
  static constexpr CGFloat kHeight = 200, kCornerRadius = 13;

  Ref<> initWithFrame(CGRect frame);
  Ref<> backgroundMaterialView() const { return backgroundMaterialView_; }
  Ref<> mediaControlsView() const { return mediaControlsView_; }
  void layoutSubviews();

 private:
  Ref<> backgroundMaterialView_, contentView_, mediaControlsView_;
};

// The cover sheet's view: places the player's platter below the clock.
class CSCoverSheetView : public UIView {
 public:
  static inline const rt::ClassOf<CSCoverSheetView> cls{"CSCoverSheetView"};
  static void bind(ClassBuilder<CSCoverSheetView>& b);
  static constexpr CGFloat kPlayerTop = 200, kPlayerInset = 8, kPlayerSpacing = 8;
  // Where the player's platter sits on a cover sheet of this width.
  static CGRect playerFrame(CGFloat width);
  void layoutSubviews();
};

// CSCoverSheetViewController: the lockscreen's controller; its view is a CSCoverSheetView.
class CSCoverSheetViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<CSCoverSheetViewController> cls{"CSCoverSheetViewController"};
  static void bind(ClassBuilder<CSCoverSheetViewController>& b);
  void loadView();
};

// SBMediaController: the home screen's now-playing state.
class SBMediaController : public NSObject {
 public:
  static inline const rt::ClassOf<SBMediaController> cls{"SBMediaController"};
  static void bind(ClassBuilder<SBMediaController>& b);
  // Shows the current track in the player and puts the player on or off screen.
  void mediaRemoteNowPlayingInfoDidChange(id notification);
};

// The shared media controller, made (and observing the now-playing service) on first
// use; nil when this host lacks the class.
Ref<> mediaController();
// Plays the track (nothing: stops) through the now-playing service, whose change
// notification reaches the media controller.
void setNowPlaying(const std::optional<now_playing::Track>& track);
// The lockscreen shows (the device locks) or hides (it unlocks); the player follows.
void showCoverSheet();
void hideCoverSheet();
// The cover sheet's controller, its view loaded (nil when this host lacks the class).
Ref<> coverSheetController();
// The player's platter, made on first use whether on screen or not (nil when this host
// lacks its class), and its controls view.
Ref<> mediaPlatter();
Ref<> mediaControlsView();
// The room the player takes above the notification list: its height and spacing while
// it is on the cover sheet, else 0.
CGFloat mediaPlayerSpace();

void defineMediaPlayer(ClassList& list);
void resetMediaPlayer();

}  // namespace host
