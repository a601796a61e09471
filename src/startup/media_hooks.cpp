// The media-player routine's rows, whose behaviour lives in src/media/.
#include "host/springboard/springboard_selectors.h"
#include "media/media_restyle.h"
#include "startup/hook_table.h"

namespace lumora {

std::vector<HookRow> mediaRows() {
  constexpr Routine m = Routine::Media;
  return {
      replaceRow(m, cls::CSMediaControlsView, sel::didMoveToWindow, &mediaControls_didMoveToWindow,
                 &original_mediaControls_didMoveToWindow),
      replaceRow(m, cls::SBMediaController, sel::_mediaRemoteNowPlayingInfoDidChange,
                 &nowPlayingInfoDidChange, &original_nowPlayingInfoDidChange),
      addRow(m, cls::CSCoverSheetViewController, sel::lumoraColorBorderWithThirdParty,
             &lumoraColorBorderWithThirdParty, "v@:@"),
      replaceRow(m, cls::CSCoverSheetViewController, sel::loadView, &coverSheet_loadView,
                 &original_coverSheet_loadView),
  };
}

}  // namespace lumora
