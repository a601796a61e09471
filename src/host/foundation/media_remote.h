// The now-playing service: what the device is playing, asked for asynchronously. A
// request is answered on the queue it names, in a later turn of that queue, with the
// information of the track playing at that moment (a dictionary), or with nil when
// nothing plays. A change of track is announced on the default notification centre.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"

namespace host {

// Keys of the now-playing information. The artwork is the image file's bytes (PNG or
// JPEG) as an NSData.
inline constexpr const char* kMRMediaRemoteNowPlayingInfoArtworkData =
    "kMRMediaRemoteNowPlayingInfoArtworkData";
inline constexpr const char* kMRMediaRemoteNowPlayingInfoTitle =
    "kMRMediaRemoteNowPlayingInfoTitle";
inline constexpr const char* kMRMediaRemoteNowPlayingInfoArtist =
    "kMRMediaRemoteNowPlayingInfoArtist";
// Posted (object nil) on the default notification centre when the track changes.
inline constexpr const char* kMRMediaRemoteNowPlayingInfoDidChangeNotification =
    "kMRMediaRemoteNowPlayingInfoDidChangeNotification";

using MRMediaRemoteGetNowPlayingInfoCompletion = std::function<void(CFDictionaryRef information)>;

// Asks for the now-playing information; `completion` runs later on `queue` with the
// dictionary of the current track, or nil when nothing plays. A null queue or an empty
// completion asks nothing.
void MRMediaRemoteGetNowPlayingInfo(dispatch_queue_t queue,
                                    MRMediaRemoteGetNowPlayingInfoCompletion completion);

// The service's side, for the host, the scene and tests.
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
