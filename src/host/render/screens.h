// The device's screens as a person sees them, side by side: the lockscreen (wallpaper,
// clock and date, the media player and the notification list), when there are banners
// the home screen with them at the top, and when there are widgets the Today view.
#pragma once

#include "host/host.h"
#include "host/quartz/cairo_handles.h"
#include "host/render/render.h"

namespace host {

// Points between two screens, painted in a neutral grey.
inline constexpr double kScreenGap = 24;

// The built-in wallpaper of the interface style: a dusk gradient, darker in the dark
// style.
Wallpaper wallpaperFor(Device::InterfaceStyle style);
// Paints the whole target in the grey between screens.
void paintScreenGap(cairo_t* cr);

struct ScreensPicture {
  SurfacePtr surface;  // null when drawing failed
  std::string error;   // cairo's first error otherwise
  RenderNotes notes;   // views beyond reach (see render.h)
};

// Which screens a picture holds: all there are side by side, or one of them (a screen
// the device does not have, such as the home screen without banners, is drawn empty).
enum class ScreenChoice { All, Lockscreen, Home, Today };

// Draws the screens of the booted host's windows for the device on the wallpaper, at
// the scale.
[[nodiscard]] ScreensPicture renderScreens(const Device& device, const Wallpaper& wallpaper,
                                           double scale, ScreenChoice choice = ScreenChoice::All);

}  // namespace host
