#include "host/springboard/media_player.h"

namespace host {

void SBMediaController::bind(ClassBuilder<SBMediaController>& b) {
  b.method<&SBMediaController::mediaRemoteNowPlayingInfoDidChange>(
      sel::_mediaRemoteNowPlayingInfoDidChange);
}

void defineMediaPlayer(ClassList& list) {
  list.define<CSMediaControlsView>(UIView::cls);
  list.define<SBMediaController>(NSObject::cls);
  list.define<CSCoverSheetViewController>(UIViewController::cls);
}

}  // namespace host
