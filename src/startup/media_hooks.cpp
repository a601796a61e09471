// Replacements and added methods of the media-player routine.
#include "host/springboard/springboard_selectors.h"
#include "startup/hook_table.h"

namespace sel {
inline const Sel<void(id)> lumoraColorBorderWithThirdParty{"lumoraColorBorderWithThirdParty:"};
}  // namespace sel

namespace lumora {
namespace {

using rt::id;
using rt::ImpFor;
using rt::SEL;

ImpFor<void> original_didMoveToWindow;
void replaced_didMoveToWindow(id self, SEL cmd) {
  original_didMoveToWindow(self, cmd);
}

ImpFor<void, id> original_nowPlayingInfoDidChange;
void replaced_nowPlayingInfoDidChange(id self, SEL cmd, id notification) {
  original_nowPlayingInfoDidChange(self, cmd, notification);
}

// FIXME: the border coloured after the other colouring extension is not built yet.
void lumoraColorBorderWithThirdParty(id, SEL, id) {}

ImpFor<void> original_loadView;
void replaced_loadView(id self, SEL cmd) {
  original_loadView(self, cmd);
}

}  // namespace

std::vector<HookRow> mediaRows() {
  constexpr Routine m = Routine::Media;
  return {
      replaceRow(m, "CSMediaControlsView", sel::didMoveToWindow, &replaced_didMoveToWindow,
                 &original_didMoveToWindow),
      replaceRow(m, "SBMediaController", sel::_mediaRemoteNowPlayingInfoDidChange,
                 &replaced_nowPlayingInfoDidChange, &original_nowPlayingInfoDidChange),
      addRow(m, "CSCoverSheetViewController", sel::lumoraColorBorderWithThirdParty,
             &lumoraColorBorderWithThirdParty, "v@:@"),
      replaceRow(m, "CSCoverSheetViewController", sel::loadView, &replaced_loadView,
                 &original_loadView),
  };
}

}  // namespace lumora
