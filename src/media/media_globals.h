// The media player's process-wide state: one set for the whole process, shared by every
// media controls view (a second player view updates the same two views, which stay
// where the first pass put them).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/runtime.h"

namespace lumora {

// The coloured background laid into the media controls view at index 0; made once.
extern rt::Ref<> lumoraArtworkBackground;
// The single-edge border strip inside lumoraArtworkBackground, at index 1; made once.
extern rt::Ref<> lumoraArtworkBorder;
// The background and border colours last worked out from the now-playing information.
extern rt::Ref<> lumoraArtworkColor;
extern rt::Ref<> lumoraArtworkBorderColor;

// The two global views by their names, for the dump.
std::vector<std::pair<std::string, const rt::Ref<>*>> mediaGlobalViews();

// Empties the media globals and forgets the other extension's class.
void resetMediaGlobals();

}  // namespace lumora
