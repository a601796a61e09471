// The media player's restyle, end to end: a scene plays a track on the lockscreen, the
// host puts the player on screen, the system styles it and colours it from the
// now-playing service (or from the other colouring extension).
#include <gtest/gtest.h>

#include <random>

#include <cairo.h>
#include "host/extension_standin/colorflow.h"
#include "host/foundation/notification_center.h"
#include "host/foundation/now_playing.h"
#include "host/quartz/cgcolor.h"
#include "host/render/render.h"
#include "host/scene/scene_fixture.h"
#include "host/scene/stage.h"
#include "host/springboard/media_player.h"
#include "host/springboard/presentation.h"
#include "host/uikit/colour.h"
#include "host/uikit/view.h"
#include "media/media_globals.h"

#include "media/media_restyle.h"
#include "prefs/lumora_prefs.h"
#include "support/golden.h"
#include "support/settings.h"

using namespace lumora;
using host::UIView;
using rt::CGRect;
using rt::Ref;

namespace {

std::string sceneWith(const std::string& preferences, const std::string& extra = "") {
  return R"({"preferences": {)" + preferences + R"(},
             "nowPlaying": {"title": "Harbour Lights", "artist": "Tidewater",
                            "artwork": {"colour": "#FF0000"}})" +
         extra + "}";
}

UIView* view(const Ref<>& object) {
  return UIView::cls.cast(object.get());
}
std::array<double, 4> rgba(id colour) {
  if (auto* c = host::UIColor::cls.cast(colour)) return c->rgba();
  if (auto* c = host::CGColor::cls.cast(colour)) return c->components();
  return {-1, -1, -1, -1};
}

class MediaTest : public testing_support::SceneFixture {
 protected:
  // Builds the scene and runs its clock to `at` seconds, or until idle.
  void play(const std::string& text, std::optional<double> at = std::nullopt) {
    surfaces = build(text);
    host::scene::runClock(at);
  }
  UIView& controls() { return *view(host::mediaControlsView()); }
  UIView& platter() { return *view(host::mediaPlatter()); }
  UIView& material() { return *view(rt::send(host::mediaPlatter(), sel::backgroundMaterialView)); }
  UIView& background() { return *view(lumoraArtworkBackground); }
  UIView& strip() { return *view(lumoraArtworkBorder); }
  std::vector<host::scene::Surface> surfaces;
};

TEST_F(MediaTest, FirstPassWithDefaultsAddsTheBackgroundWithStockCornersAndNoColour) {
  play(sceneWith(""));
  ASSERT_TRUE(lumoraArtworkBackground && lumoraArtworkBorder);
  EXPECT_EQ(controls().subviewList().front().get(), lumoraArtworkBackground.get());
  EXPECT_EQ(background().subviewList().front().get(), lumoraArtworkBorder.get());
  EXPECT_EQ(background().frame(), (CGRect{{0, 0}, {359, 200}}));
  for (UIView* v : {&platter(), &material(), &background()})
    EXPECT_EQ(v->caLayer().cornerRadius(), 13);
  EXPECT_TRUE(platter().clipsToBounds());
  EXPECT_EQ(material().alpha(), 1);
  EXPECT_TRUE(strip().isHidden());
  EXPECT_EQ(background().caLayer().borderWidth(), 0);
  EXPECT_EQ(background().backgroundColor(), nullptr);
  EXPECT_GE(host::now_playing::requestCount(), 1u);
}

TEST_F(MediaTest, DominantBackgroundIsTheArtworkAverageAndFollowsTheTrack) {
  play(sceneWith(R"("colorBackgroundMediaplayer": "dominant")", R"(, "timeline": [
      {"at": 1, "track": {"title": "B", "artwork": {"colour": "#0000FF"}}},
      {"at": 2, "track": {"title": "No artwork"}}])"),
       0.5);
  EXPECT_EQ(rgba(background().backgroundColor().get()), (std::array<double, 4>{1, 0, 0, 0.6}));
  host::scene::runClock(1.5);
  EXPECT_EQ(rgba(background().backgroundColor().get()), (std::array<double, 4>{0, 0, 1, 0.6}));
  // A track without artwork gives no average colour: the background is cleared.
  host::scene::runClock(2.5);
  EXPECT_EQ(background().backgroundColor(), nullptr);
  EXPECT_EQ(lumoraArtworkColor, nullptr);
}

// A fully transparent artwork averages to the clear colour, which counts as none: a
// "dominant" background at 0.6 of it would be a dark veil.
TEST_F(MediaTest, AFullyTransparentArtworkGivesNoColour) {
  cairo_surface_t* clear = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  ASSERT_EQ(cairo_surface_write_to_png(clear, (folder / "clear.png").c_str()),
            CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(clear);
  play(R"({"preferences": {"colorBackgroundMediaplayer": "dominant"},
           "nowPlaying": {"title": "T", "artwork": {"file": "clear.png"}}})");
  EXPECT_EQ(lumoraArtworkColor, nullptr);
  EXPECT_EQ(background().backgroundColor(), nullptr);
}

TEST_F(MediaTest, SeeThroughHidesTheMaterialAndRoundCornersAreHalfTheHeight) {
  play(sceneWith(R"("colorBackgroundMediaplayer": "#000000:0.00")"));
  EXPECT_EQ(material().alpha(), 0);
  EXPECT_EQ(rgba(background().backgroundColor().get()), (std::array<double, 4>{0, 0, 0, 0}));
  // The corner rule is shared with the widgets (their table); round here, half the height.
  play(sceneWith(R"("roundedCornersMediaplayer": "round")"));
  for (UIView* v : {&platter(), &material(), &background()})
    EXPECT_EQ(v->caLayer().cornerRadius(), 100);
}

TEST_F(MediaTest, BorderOnOneEdgeIsAStripAndAllEdgesTheLayerBorder) {
  const struct {
    const char* position;
    CGRect frame;
  } edges[] = {{"bottom", {{0, 196}, {359, 4}}}, {"right", {{355, 0}, {4, 200}}}};
  for (const auto& edge : edges) {
    SCOPED_TRACE(edge.position);
    play(sceneWith(R"("borderColorMediaplayer": "#00FF00", "borderWidthMediaplayer": 4,
                      "borderPositionMediaplayer": ")" +
                   std::string(edge.position) + "\""));
    EXPECT_FALSE(strip().isHidden());
    EXPECT_EQ(strip().frame(), edge.frame);
    EXPECT_EQ(background().caLayer().borderWidth(), 0);
    EXPECT_EQ(rgba(strip().backgroundColor().get()), (std::array<double, 4>{0, 1, 0, 1}));
  }

  play(sceneWith(R"("borderColorMediaplayer": "#00FF00", "borderWidthMediaplayer": 3)"));
  EXPECT_TRUE(strip().isHidden());
  EXPECT_EQ(background().caLayer().borderWidth(), 3);
  EXPECT_EQ(rgba(background().caLayer().borderColor().get()), (std::array<double, 4>{0, 1, 0, 1}));
  // No border colour: no border, and the artwork is still asked for, once as the player
  // came on screen and once for the new track.
  play(
      sceneWith(R"("borderPositionMediaplayer": "top", "colorBackgroundMediaplayer": "dominant")"));
  EXPECT_TRUE(strip().isHidden());
  EXPECT_EQ(background().caLayer().borderWidth(), 0);
  EXPECT_EQ(host::now_playing::requestCount(), 2u);
}

TEST_F(MediaTest, ColorFlowLockscreenColouringAsksNothingAndColoursTheBorder) {
  play(
      sceneWith(R"("borderColorMediaplayer": "dominant", "colorBackgroundMediaplayer": "dominant")",
                R"(, "colorFlow": {"lockScreenEnabled": true, "secondaryColor": "#0000FF"})"));
  EXPECT_EQ(host::now_playing::requestCount(), 0u);
  EXPECT_EQ(host::colorflow::postedCount(), 1u);
  EXPECT_EQ(background().caLayer().borderWidth(), 2);
  EXPECT_EQ(rgba(background().caLayer().borderColor().get()), (std::array<double, 4>{0, 0, 1, 1}));
  EXPECT_EQ(background().backgroundColor(), nullptr);

  // A notification without a colour, or with something else, clears the border colour.
  Ref<> center = rt::send(cls::NSNotificationCenter, sel::defaultCenter);
  for (Ref<> value : {Ref<>(), host::NSStr("#FF0000")}) {
    Ref<host::NSDictionary> info = host::NSDictionary::make();
    info->setObject(value.get(), host::NSStr("SecondaryColor").get());
    rt::send(center, sel::postNotificationName_object_userInfo,
             host::NSStr("ColorFlowLockScreenColorizationNotification"), nullptr, info);
    EXPECT_EQ(background().caLayer().borderColor(), nullptr);
  }
  // The lockscreen listens to the other extension only while the player is switched on.
  auto registrations = [&] {
    return static_cast<host::NSNotificationCenter*>(center.get())
        ->registrationCount(host::coverSheetController().get());
  };
  EXPECT_EQ(registrations(), 1u);
  play(sceneWith(R"("enableMediaplayer": false)", R"(, "colorFlow": {"lockScreenEnabled": true})"));
  center = rt::send(cls::NSNotificationCenter, sel::defaultCenter);
  EXPECT_EQ(registrations(), 0u);
}

TEST_F(MediaTest, ColorFlowFullScreenOrTheSwitchOffLeavesThePlayerAsTheHostMadeIt) {
  for (const bool fullScreen : {true, false}) {
    play(fullScreen ? sceneWith(R"("colorBackgroundMediaplayer": "#000000:0.00")",
                                R"(, "colorFlow": {"lockScreenFullScreenEnabled": true})")
                    : sceneWith(R"("enableMediaplayer": false,
                                   "colorBackgroundMediaplayer": "#000000:0.00")"));
    EXPECT_EQ(lumoraArtworkBackground, nullptr);
    EXPECT_EQ(controls().subviewList().size(), 11u);
    EXPECT_EQ(material().alpha(), 1);
    EXPECT_FALSE(platter().clipsToBounds());
    // Switched off, not even the track change asks for colours.
    if (!fullScreen) {
      EXPECT_EQ(host::now_playing::requestCount(), 0u);
    }
  }
}

TEST_F(MediaTest, ColorFlowClassIsLookedUpAgainWhileAbsent) {
  play(sceneWith(""));
  EXPECT_FALSE(colorFlowLockScreenEnabled());
  ASSERT_EQ(host::colorflow::install({true, false, std::nullopt}), "");
  EXPECT_TRUE(colorFlowLockScreenEnabled());
}

TEST_F(MediaTest, HandlerWithoutInformationChangesNothing) {
  play(sceneWith(R"("colorBackgroundMediaplayer": "#336699")"));
  Ref<> before = background().backgroundColor();
  ASSERT_NE(before, nullptr);
  artworkColorHandler(nullptr);
  EXPECT_EQ(background().backgroundColor(), before);
}

TEST_F(MediaTest, UnlockTakesThePlayerOffAndLockRestylesIt) {
  play(sceneWith(R"("roundedCornersMediaplayer": "none")",
                 R"(, "timeline": [{"at": 1, "unlock": true}, {"at": 2, "lock": true}])"),
       0.5);
  host::scene::runClock(1.5);
  EXPECT_EQ(platter().window(), nullptr);
  EXPECT_FALSE(host::device().locked);
  // Restyled as it comes back: the setting changed meanwhile shows.
  rt::send(preferences, sel::setValue_forKey, host::NSStr("round"),
           host::NSStr("roundedCornersMediaplayer"));
  host::scene::runClock(2.5);
  EXPECT_NE(platter().window(), nullptr);
  EXPECT_TRUE(host::device().locked);
  EXPECT_EQ(background().caLayer().cornerRadius(), 100);
}

TEST_F(MediaTest, SecondPlayerViewReusesTheGlobals) {
  play(sceneWith(""));
  Ref<> first = lumoraArtworkBackground;
  Ref<> window = rt::send(cls::UIWindow, sel::new_);
  Ref<> container = rt::send(cls::UIView, sel::new_);
  rt::send(container, sel::setFrame, rt::CGRectMake(0, 0, 300, 120));
  Ref<> other = rt::send(cls::CSMediaControlsView, sel::new_);
  rt::send(container, sel::addSubview, other);
  rt::send(window, sel::addSubview, container);
  EXPECT_EQ(lumoraArtworkBackground, first);
  EXPECT_EQ(first->ref(), controls().subviewList().front());
  EXPECT_EQ(background().frame(), (CGRect{{0, 0}, {300, 120}}));
}

// Settings of every kind, junk included, never stop the host: each pass and handler runs
// through, and the background stays where the first pass put it.
TEST_F(MediaTest, AnySettingsRunThroughThePassAndTheHandler) {
  play(sceneWith(""));
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    Ref<> settings = testing_support::randomSettings(random);
    rt::send(preferences, sel::registerDefaults, settings);
    ASSERT_NO_THROW({
      rt::send(host::mediaControlsView(), sel::didMoveToWindow);
      host::main_queue::drain();
    }) << "round "
       << round;
  }
  EXPECT_EQ(controls().subviewList().front().get(), lumoraArtworkBackground.get());
}

TEST_F(MediaTest, DumpNamesTheAddedViewsByTheirGlobals) {
  play(sceneWith(R"("borderColorMediaplayer": "#FFFFFF", "borderPositionMediaplayer": "top")"));
  const host::scene::Json player = dumpOf(surfaces)["surfaces"].back();
  ASSERT_EQ(player["kind"], "mediaplayer");
  const host::scene::Json& added = player["view"]["subviews"][1]["subviews"][0]["subviews"][0];
  EXPECT_EQ(added["names"], host::scene::Json::array({"lumoraArtworkBackground"}));
  EXPECT_EQ(added["subviews"][0]["names"], host::scene::Json::array({"lumoraArtworkBorder"}));
}

TEST_F(MediaTest, DominantBackgroundLeftBorderAndCustomCornersDrawAsTheReferenceImage) {
  std::string text = sceneWith(R"("colorBackgroundMediaplayer": "dominant",
      "borderColorMediaplayer": "#FFFFFF", "borderPositionMediaplayer": "left",
      "borderWidthMediaplayer": 5, "roundedCornersMediaplayer": "custom",
      "customCornerRadiusMediaplayer": 24)");
  text.replace(text.find(R"({"colour": "#FF0000"})"), 21,
               R"({"gradient": ["#FF8A5B", "#D6336C", "#5F3DC4"]})");
  play(text);
  host::RenderedImage image = host::renderOnWallpaper(platter(), 1, host::Wallpaper{}, 12);
  ASSERT_TRUE(image.image) << image.error;
  EXPECT_TRUE(testing_support::matchesGolden(*image.image, "media_player", 2));
}

}  // namespace
