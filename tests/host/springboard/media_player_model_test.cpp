// The host's media player, without the system: when it is on screen, where it sits, what
// the now-playing service answers, and the other colouring extension's stand-in.
#include "host/springboard/media_player.h"

#include <filesystem>

#include "host/extension_standin/colorflow.h"
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

TEST_F(MediaPlayerModelTest, RequestsAreAnsweredLaterWithTheTrackPlayingThen) {
  std::vector<std::string> answers;
  auto ask = [&answers] {
    MRMediaRemoteGetNowPlayingInfo(dispatch_get_main_queue(), [&answers](id info) {
      Ref<> title = rt::send(info, sel::objectForKey, NSStr(kMRMediaRemoteNowPlayingInfoTitle));
      answers.push_back(info ? formatObject(title.get()) : "nothing");
    });
  };
  ask();
  setNowPlaying(track("One"));
  EXPECT_TRUE(answers.empty());
  main_queue::drain();
  ask();
  setNowPlaying(std::nullopt);
  main_queue::drain();
  EXPECT_EQ(answers, (std::vector<std::string>{"One", "nothing"}));
  EXPECT_EQ(now_playing::requestCount(), 2u);
}

TEST_F(MediaPlayerModelTest, TheExtensionExistsOnlyInstalledAndPostsForArtworkOnly) {
  EXPECT_EQ(rt::objc_getClass("CFWPrefsManager"), nullptr);
  ASSERT_EQ(colorflow::install({true, true, std::array<double, 4>{0, 0, 1, 1}}), "");
  EXPECT_TRUE(std::filesystem::exists(devicePath(colorflow::kLibraryPath)));
  Ref<> prefs = rt::send(cls::CFWPrefsManager.get(), sel::sharedInstance);
  EXPECT_TRUE(rt::send(prefs, sel::isLockScreenEnabled));
  EXPECT_TRUE(rt::send(prefs, sel::lockScreenFullScreenEnabled));
  setNowPlaying(track("No artwork", {}));
  main_queue::drain();
  EXPECT_EQ(colorflow::postedCount(), 0u);
  setNowPlaying(track("Artwork"));
  main_queue::drain();
  EXPECT_EQ(colorflow::postedCount(), 1u);
}

TEST_F(MediaPlayerModelTest, RightToLeftMirrorsAllButThePlaybackControls) {
  host::reset();
  Device device;
  device.layoutDirection = Device::LayoutDirection::RightToLeft;
  host::boot({root, {}, device});
  setNowPlaying(track("One"));
  main_queue::drain();
  // artwork, title, artist, progress track and fill, elapsed, remaining, previous, play,
  // next, volume.
  Ref<> subviews = rt::send(mediaControlsView(), sel::subviews);
  auto at = [&](uint64_t i) { return frameOf(rt::send(subviews, sel::objectAtIndex, i)); };
  EXPECT_EQ(at(0), rt::CGRectMake(359 - 16 - 60, 16, 60, 60));
  // The scrubber fills from the left with the elapsed time on the left; the transport
  // buttons run previous, play, next from left to right.
  EXPECT_EQ(at(4).origin.x, 16);
  EXPECT_EQ(at(5).origin.x, 16);
  EXPECT_GT(at(6).origin.x, 359 / 2);
  EXPECT_LT(at(7).origin.x, at(8).origin.x);
  EXPECT_LT(at(8).origin.x, at(9).origin.x);
  EXPECT_EQ(rt::send(rt::send(subviews, sel::objectAtIndex, uint64_t{9}),
                     sel::effectiveUserInterfaceLayoutDirection),
            UIUserInterfaceLayoutDirectionLeftToRight);
}
