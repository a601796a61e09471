// What the host draws around the views a scene restyles: the status bar, the
// lockscreen's padlock, clock, date and quick-action buttons, the home indicator, the
// home screen's icons and dock, and the Today view's search field.
//
// Geometry is that of a 375 x 812 point screen with a notch (the model's choice, after
// the platform's published layout): a 44-point status bar with the time centred 54
// points from the left and the signal, Wi-Fi and battery glyphs ending 14 points from
// the right; a 134 x 5 point home indicator 8 points above the bottom; the quick-action
// buttons 50 points across, centred 66 points from each side and 72 above the bottom;
// home-screen icons 60 points square in four columns 27 points apart, rows 100 points
// apart from y = 66, with their names below; a dock 96 points high, 12 points from the
// edges, holding up to four apps; the Today view's search field 36 points high at
// y = 52, inset 16 points. Text is set in Inter (Inter Display for the large clock),
// the face closest to the platform's among Debian's, with DejaVu Sans as the fallback;
// the clock and date read as in US English ("9:41", "Monday, December 7").
#pragma once

#include <cairo.h>

#include <string>

#include "host/host.h"

namespace host::render {

// "9:41" (12-hour, as the status bar and the lockscreen show it).
std::string clockText(const Device::ClockFace& clock);
// "Monday, December 7".
std::string dateText(const Device::ClockFace& clock);

// The status bar across the top of the screen; `time` shows the time at its left (the
// lockscreen shows it large instead).
void drawStatusBar(cairo_t* cr, const Device& device, bool time);
// The lockscreen's padlock (open when the device is unlocked), clock and date.
void drawLockscreenClock(cairo_t* cr, const Device& device);
// The flashlight and camera buttons and the home indicator.
void drawLockscreenControls(cairo_t* cr, const Device& device);
// The bar at the bottom of every screen.
void drawHomeIndicator(cairo_t* cr, const Device& device);
// The icons of the installed apps the home screen shows (`AppRecord::onHomeScreen`),
// with their names, the first four in the dock, the others in the grid above it.
void drawHomeScreenIcons(cairo_t* cr, const Device& device);
// The search field at the top of the Today view.
void drawSearchField(cairo_t* cr, const Device& device);

}  // namespace host::render
