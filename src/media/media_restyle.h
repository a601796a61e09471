// The lockscreen media player's restyle, and its link with the other lockscreen
// colouring extension (ColorFlow) when that is installed.
//
// When the media controls view moves to or from a window, the media pass rounds the
// player's platter, its material and the added background, lays the background
// (lumoraArtworkBackground) behind the controls with the border strip inside it, places
// the border, makes the material transparent for a transparent background, and asks the
// now-playing service for the track; `artworkColorHandler` then colours the background
// and border from the settings, "dominant" being the artwork's average colour. The same
// request follows every change of track. With the other extension's full-screen mode on,
// the player is left alone; with its lockscreen colouring on, nothing is requested and
// the border takes the colour the extension posts.
#pragma once

#include "runtime/runtime.h"

namespace sel {
inline const rt::Sel<void(rt::id)> lumoraColorBorderWithThirdParty{
    "lumoraColorBorderWithThirdParty:"};
}  // namespace sel

namespace lumora {

using rt::id;
using rt::SEL;

// CSMediaControlsView didMoveToWindow: the media pass.
extern rt::ImpFor<void> original_mediaControls_didMoveToWindow;
void mediaControls_didMoveToWindow(id self, SEL cmd);

// SBMediaController _mediaRemoteNowPlayingInfoDidChange:: a new request for the track.
extern rt::ImpFor<void, id> original_nowPlayingInfoDidChange;
void nowPlayingInfoDidChange(id self, SEL cmd, id notification);

// CSCoverSheetViewController loadView: observes the other extension's colourisation.
extern rt::ImpFor<void> original_coverSheet_loadView;
void coverSheet_loadView(id self, SEL cmd);

// CSCoverSheetViewController lumoraColorBorderWithThirdParty: (added): the border takes
// the notification's "SecondaryColor".
void lumoraColorBorderWithThirdParty(id self, SEL cmd, id notification);

// The handler of every now-playing request: the background and border colours from the
// settings and the track's artwork. Nil information changes nothing.
void artworkColorHandler(id information);

// Whether the other extension's lockscreen colouring is on (NO while it is absent).
bool colorFlowLockScreenEnabled();

}  // namespace lumora
