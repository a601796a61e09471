// The now-playing service: what the device is playing, asked for asynchronously. A
// request is answered on the queue it names, in a later turn of that queue, with the
// information of the track playing at that moment (a dictionary), or with nil when
// nothing plays. A change of track is announced on the default notification centre.
#pragma once

#include <functional>

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

}  // namespace host
