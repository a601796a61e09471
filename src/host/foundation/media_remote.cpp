#include "host/foundation/now_playing.h"

#include <optional>

#include "host/foundation/values.h"

namespace host {
namespace {

struct Service {
  std::optional<now_playing::Track> track;
  size_t requests = 0;
};
Service& service() {
  static Service s;
  return s;
}

void announce() {
  Ref<> center = rt::send(cls::NSNotificationCenter, sel::defaultCenter);
  rt::send(center, sel::postNotificationName_object,
           NSStr(kMRMediaRemoteNowPlayingInfoDidChangeNotification), nullptr);
}

}  // namespace

void MRMediaRemoteGetNowPlayingInfo(dispatch_queue_t queue,
                                    MRMediaRemoteGetNowPlayingInfoCompletion completion) {
  if (!queue || !completion) return;
  ++service().requests;
  dispatch_async(queue, [completion = std::move(completion)] {
    Ref<> info = now_playing::currentInfo();
    completion(info.get());
  });
}

namespace now_playing {

void play(const Track& track) {
  service().track = track;
  announce();
}

void stop() {
  service().track.reset();
  announce();
}

Ref<> currentInfo() {
  const auto& track = service().track;
  if (!track) return nullptr;
  Ref<NSDictionary> info = NSDictionary::make();
  info->setObject(NSStr(track->title).get(), NSStr(kMRMediaRemoteNowPlayingInfoTitle).get());
  info->setObject(NSStr(track->artist).get(), NSStr(kMRMediaRemoteNowPlayingInfoArtist).get());
  if (!track->artwork.empty())
    info->setObject(NSData::make(track->artwork).get(),
                    NSStr(kMRMediaRemoteNowPlayingInfoArtworkData).get());
  return info;
}

size_t requestCount() {
  return service().requests;
}

void reset() {
  service() = {};
}

}  // namespace now_playing
}  // namespace host
