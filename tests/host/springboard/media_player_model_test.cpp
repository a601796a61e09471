// The host's media player, without the system: when it is on screen, where it sits, and
// what the now-playing service answers. (The other colouring extension's stand-in is
// tried with the player's restyle.)
#include "host/springboard/media_player.h"

#include <filesystem>

#include "host/foundation/main_queue.h"
#include "host/foundation/notification_center.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "support/host_fixture.h"

using namespace host;
using rt::SEL;
using MediaPlayerModelTest = testing_support::HostFixture;

namespace {

int moves = 0;
rt::ImpFor<void> originalMove = nullptr;
void countMove(id self, SEL cmd) {
  ++moves;
  originalMove(self, cmd);
}

now_playing::Track track(const char* title, std::vector<uint8_t> artwork = {1, 2, 3}) {
  return {title, "Artist", std::move(artwork)};
}

CGRect frameOf(const Ref<>& view) {
  return rt::send(view, sel::frame);
}

}  // namespace

TEST_F(MediaPlayerModelTest, ThePlayerShowsWhileATrackPlaysOnTheLockscreen) {
  moves = 0;
  rt::MSHookMessageEx(rt::objc_getClass("CSMediaControlsView"), sel::didMoveToWindow, &countMove,
                      &originalMove);
  setNowPlaying(track("One"));
  EXPECT_EQ(moves, 1);
  EXPECT_NE(rt::send(mediaControlsView(), sel::window), nullptr);
  // Laid out in its place before it moved: the controls fill the 359 x 200 platter.
  EXPECT_EQ(frameOf(mediaPlatter()).origin.y, 200);
  EXPECT_EQ(frameOf(mediaControlsView()).size.height, 200);
  setNowPlaying(track("Two"));  // a change of track leaves it where it is
  EXPECT_EQ(moves, 1);
  unlockDevice();
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(rt::send(mediaControlsView(), sel::window), nullptr);
  setNowPlaying(track("Three"));  // playing while unlocked shows nothing
  EXPECT_EQ(moves, 2);
  lockDevice();
  EXPECT_EQ(moves, 3);
  EXPECT_TRUE(device().locked);
  setNowPlaying(std::nullopt);
  EXPECT_EQ(moves, 4);
}

TEST_F(MediaPlayerModelTest, TheListSitsBelowThePlayerAndLockingRemovesBanners) {
  Ref<> list = rt::send(lockscreenListController(), sel::view);
  presentBanner(NCNotificationRequest::make(NotificationFields{}).get());
  setNowPlaying(track("One"));
  main_queue::drain();
  EXPECT_EQ(frameOf(list).origin.y, 200 + 200 + 8);
  setNowPlaying(std::nullopt);
  main_queue::drain();
  EXPECT_EQ(frameOf(list).origin.y, 200);
  lockDevice();
  EXPECT_EQ(rt::send(rt::send(bannerWindow(), sel::subviews), sel::count), 0u);
}
