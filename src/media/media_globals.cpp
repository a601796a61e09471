#include "media/media_globals.h"

#include "media/media_restyle.h"

namespace lumora {

rt::Ref<> lumoraArtworkBackground;
rt::Ref<> lumoraArtworkBorder;
rt::Ref<> lumoraArtworkColor;
rt::Ref<> lumoraArtworkBorderColor;

std::vector<std::pair<std::string, const rt::Ref<>*>> mediaGlobalViews() {
  return {{"lumoraArtworkBackground", &lumoraArtworkBackground},
          {"lumoraArtworkBorder", &lumoraArtworkBorder}};
}

void resetMediaGlobals() {
  lumoraArtworkBackground.reset();
  lumoraArtworkBorder.reset();
  lumoraArtworkColor.reset();
  lumoraArtworkBorderColor.reset();
}

}  // namespace lumora
