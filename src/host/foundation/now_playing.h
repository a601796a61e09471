// The now-playing service's own side, for the host, the scene and tests: what plays,
// and how often the service was asked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/foundation/media_remote.h"

namespace host {

namespace now_playing {
struct Track {
  std::string title, artist;
  std::vector<uint8_t> artwork;  // file bytes; empty for a track without artwork
};
// Starts playing the track, or stops, then announces the change.
void play(const Track& track);
void stop();
// The information of the current track (a new dictionary), or nil.
rt::Ref<> currentInfo();
// How many requests were made since boot.
size_t requestCount();
void reset();
}  // namespace now_playing

}  // namespace host
