// The widget restyle pass on scenes built as the tool builds them: the pass before and
// after the icon arrives, the restyle notification, transparency, corners, the border,
// the content shift, and the closed gate. (The colour cache is shared with the
// notifications: its own tests and the icons' hold it.)
#include "widgets/restyle.h"

#include <map>

#include "colour/image_colour.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/values.h"
#include "host/quartz/cgcolor.h"
#include "host/scene/pictures.h"
#include "host/scene/scene_fixture.h"
#include "host/springboard/widgets.h"
#include "prefs/globals.h"

using rt::CGFloat;
using rt::CGRect;
using rt::id;
using rt::Ref;

namespace {

using Rgba = std::array<CGFloat, 4>;

class WidgetTest : public testing_support::SceneFixture {
 protected:
  // Builds a scene of widgets with the settings, runs the clock to `at` (to the end
  // without it) and keeps the first widget's controller and platter.
  void show(const std::string& preferences, const std::string& widgets,
            std::optional<double> at = std::nullopt) {
    surfaces = build(R"({"preferences": )" + preferences + R"(, "widgets": )" + widgets + "}");
    host::scene::runClock(at);
    controller = surfaces.front().controller;
    platter = rt::send(controller, sel::view);
  }
  static void set(const char* key, Ref<> value) {
    rt::send(lumora::preferences, sel::setValue_forKey, value, host::NSStr(key));
  }
  static void set(const char* key, const char* text) { set(key, host::NSStr(text)); }
  // Lays the platter out again, as the host does after a change.
  void relayout() {
    rt::send(platter, sel::setNeedsLayout);
    host::main_queue::drain();
  }
  Ref<> ivar(const char* name) const {
    return rt::send(platter, sel::valueForKey, host::NSStr(name));
  }
  Ref<> header() const { return ivar("_headerBackgroundView"); }
  Ref<> stock() const { return ivar("_backgroundView"); }
  Ref<> background() const { return rt::send(platter, sel::lumoraBackground); }
  Ref<> fullBorder() const { return rt::send(platter, sel::lumoraFullBorder); }
  Ref<> strip() const { return rt::send(platter, sel::lumoraBorder); }
  // The widget icon's dominant colour, at the alpha given.
  Rgba dominantAt(CGFloat alpha) const {
    Ref<> icon =
        rt::send(rt::send(rt::send(controller, sel::widgetHost), sel::widgetInfo), sel::_icon);
    Rgba c{};
    rt::send(lumora::lumoraDominantColor(icon.get()), sel::getRed_green_blue_alpha, &c[0], &c[1],
             &c[2], &c[3]);
    EXPECT_EQ(c[3], 1) << "an icon of one colour has no dominant colour";
    c[3] = alpha;
    return c;
  }
  static CGFloat radius(const Ref<>& view) {
    return rt::send(rt::send(view, sel::layer), sel::cornerRadius);
  }
  static std::optional<Rgba> colour(const Ref<>& view) {
    Ref<> c = rt::send(view, sel::backgroundColor);
    if (!c) return std::nullopt;
    Rgba out{};
    rt::send(c, sel::getRed_green_blue_alpha, &out[0], &out[1], &out[2], &out[3]);
    return out;
  }

  std::vector<host::scene::Surface> surfaces;
  Ref<> controller, platter;
};

constexpr const char* kBlueWidget =
    R"([{"id": "w", "name": "W", "icon": {"gradient": ["#3366CC", "#2255BB"], "glyph": "W"}, "iconDelay": 0.5}])";

// Counts the pass per controller, under the system's own method.
struct ColorizeSpy {
  static inline std::map<id, int> calls;
  static inline rt::ImpFor<void> original = nullptr;
  static void imp(id self, rt::SEL cmd) {
    ++calls[self];
    original(self, cmd);
  }
};

}  // namespace

// A host whose platters lack their stock backgrounds: the pass styles the rest, and the
// border, asked for at 5 of a platter of fewer views, still goes on top.
TEST_F(WidgetTest, APlatterWithoutItsStockBackgroundsIsStyledAllTheSame) {
  absentViews = {"_headerBackgroundView", "_backgroundView"};
  show(R"({"colorBackgroundWidget": "#FF0000", "borderColorWidget": "#00FF00",
           "borderPositionWidget": "right", "borderWidthWidget": 3})",
       kBlueWidget);
  ASSERT_EQ(header(), nullptr);
  Ref<> subviews = rt::send(platter, sel::subviews);
  EXPECT_LT(rt::send(subviews, sel::count), 6u);
  EXPECT_EQ(rt::send(subviews, sel::lastObject), fullBorder());
  EXPECT_EQ(colour(background()), (Rgba{1, 0, 0, 1}));
  EXPECT_FALSE(rt::send(strip(), sel::isHidden));
}

TEST_F(WidgetTest, TheFirstPassBuildsTheGeometryAndTheIconsArrivalBringsTheColour) {
  show(R"({"colorBackgroundWidget": "dominant", "colorHeaderWidget": "#FF0000",
           "roundedCornersWidget": "round"})",
       kBlueWidget, 0.2);
  ASSERT_NE(background(), nullptr);
  // The background at 1; the border, inserted at 5, on top.
  Ref<> subviews = rt::send(platter, sel::subviews);
  EXPECT_EQ(rt::send(subviews, sel::objectAtIndex, uint64_t{1}), background());
  EXPECT_EQ(rt::send(subviews, sel::lastObject), fullBorder());
  EXPECT_EQ(rt::send(rt::send(fullBorder(), sel::subviews), sel::firstObject), strip());
  EXPECT_FALSE(rt::send(fullBorder(), sel::isUserInteractionEnabled));
  const CGRect bounds{{0, 0}, {359, 150}};
  EXPECT_EQ(rt::send(background(), sel::frame), bounds);
  EXPECT_EQ(rt::send(fullBorder(), sel::frame), bounds);
  for (const Ref<>& view : {header(), stock(), background(), fullBorder(), platter})
    EXPECT_EQ(radius(view), 75);
  // No icon yet: no colour set.
  EXPECT_EQ(colour(background()), std::nullopt);
  EXPECT_EQ(rt::send(stock(), sel::alpha), 1);

  host::scene::runClock(0.6);
  EXPECT_EQ(colour(background()), dominantAt(0.6));
  EXPECT_EQ(colour(header()), (Rgba{1, 0, 0, 1}));
}

TEST_F(WidgetTest, TheRestyleNotificationRunsThePassOnceForItsOwnWidgetOnlyAndLayoutSettles) {
  show("{}", R"([{"id": "a"}, {"id": "b"}])");
  ColorizeSpy::calls.clear();
  rt::MSHookMessageEx(rt::objc_getClass("WGWidgetListItemViewController"), sel::lumoraColorize,
                      &ColorizeSpy::imp, &ColorizeSpy::original);
  id a = surfaces[0].controller.get();
  id b = surfaces[1].controller.get();
  // Nothing is left marked: the pass re-asserting its views' places marks nothing, so
  // the platter is not laid out (and restyled) again and again.
  host::main_queue::advance(0);
  EXPECT_EQ(ColorizeSpy::calls[a], 0);
  // Made again with the same identifier: still one registration.
  rt::send(a, sel::initWithWidgetIdentifier, host::NSStr("a"));
  host::scene::Picture blue;
  blue.colours = {{0x33, 0x66, 0xCC}};
  host::setWidgetIcon(a, host::scene::pictureImage(blue).get());
  EXPECT_EQ(ColorizeSpy::calls[a], 1);
  EXPECT_EQ(ColorizeSpy::calls[b], 0);
  rt::send(a, sel::viewWillAppear, true);  // and again as it comes on screen
  EXPECT_EQ(ColorizeSpy::calls[a], 2);
}

TEST_F(WidgetTest, SeeThroughBackgroundsHideTheStockViewsAndAnUncolouredHeaderTakesTheBackgrounds) {
  show("{}", kBlueWidget);
  struct Case {
    const char *header, *background;
    CGFloat stockAlpha, headerAlpha;
    std::optional<Rgba> backgroundColour, headerColour;
  };
  const Rgba clear{0, 0, 0, 0}, red{1, 0, 0, 1}, green{0, 1, 0, 1};
  for (const Case& c : {
           Case{"none", "#000000:0.00", 0, 0, clear, clear},
           Case{"#FF0000", "#000000:0.00", 0, 1, clear, red},
           Case{"#FF0000", "none", 1, 1, std::nullopt, red},
           Case{"none", "#00FF00", 1, 1, green, green},  // the header takes the background's
           Case{"dominant", "#00FF00", 1, 1, green, dominantAt(0.8)},
       }) {
    SCOPED_TRACE(std::string(c.header) + " / " + c.background);
    set("colorHeaderWidget", c.header);
    set("colorBackgroundWidget", c.background);
    relayout();
    EXPECT_EQ(rt::send(stock(), sel::alpha), c.stockAlpha);
    EXPECT_EQ(rt::send(header(), sel::alpha), c.headerAlpha);
    EXPECT_EQ(colour(background()), c.backgroundColour);
    EXPECT_EQ(colour(header()), c.headerColour);
  }
  // An icon taken away stops the pass before the colours: the earlier ones stay.
  host::setWidgetIcon(controller.get(), nullptr);
  set("colorBackgroundWidget", "#0000FF");
  relayout();
  EXPECT_EQ(colour(background()), green);
}

// A one-colour icon's dominant colour is clear: a "dominant" header or background then
// keeps the host's look instead of turning into a dark band.
TEST_F(WidgetTest, AOneColourIconGivesNoDominantColour) {
  show(R"({"colorHeaderWidget": "dominant", "colorBackgroundWidget": "dominant",
           "borderColorWidget": "dominant"})",
       R"([{"id": "w", "icon": {"colour": "#8E5A2B"}}])");
  EXPECT_EQ(colour(header()), std::nullopt);
  EXPECT_EQ(colour(background()), std::nullopt);
  EXPECT_EQ(colour(strip()), std::nullopt);
}

TEST_F(WidgetTest, EachCornerSettingGivesItsRadiusAndANegativeCustomOneIsRound) {
  show("{}", R"([{"id": "w"}])");  // the radius comes even without an icon
  struct Case {
    const char* setting;
    CGFloat custom, radius;
  };
  for (const Case& c : {Case{"stock", 0, 13}, Case{"none", 0, 0}, Case{"round", 0, 75},
                        Case{"custom", 20, 20}, Case{"custom", -4, 75}}) {
    SCOPED_TRACE(std::string(c.setting) + " " + std::to_string(c.custom));
    set("roundedCornersWidget", c.setting);
    set("customCornerRadiusWidget", host::NSNumber::numberWithDouble(c.custom));
    relayout();
    EXPECT_EQ(radius(platter), c.radius);
    EXPECT_EQ(radius(background()), c.radius);
  }
}

TEST_F(WidgetTest, TheBorderIsAStripAlongOneEdgeOrTheLayerBorderAllRound) {
  show(R"({"borderColorWidget": "#FF0000", "borderWidthWidget": 3})", kBlueWidget);
  Ref<> layer = rt::send(fullBorder(), sel::layer);
  // Along one edge, a strip; all round, the layer's border; another word, nothing.
  const struct {
    const char* position;
    CGRect frame;  // the strip's, none for the layer's border
    CGFloat layerWidth;
  } edges[] = {{"right", {{356, 0}, {3, 150}}, 0},
               {"top", {{0, 0}, {359, 3}}, 0},
               {"bottom", {{0, 147}, {359, 3}}, 0},
               {"left", {{0, 0}, {3, 150}}, 0},
               {"all", {}, 3},
               {"diagonal", {}, 0}};
  for (const auto& edge : edges) {
    SCOPED_TRACE(edge.position);
    set("borderPositionWidget", edge.position);
    relayout();
    EXPECT_EQ(rt::send(strip(), sel::isHidden), edge.frame.size.width == 0);
    if (edge.frame.size.width) {
      EXPECT_EQ(rt::send(strip(), sel::frame), edge.frame);
    }
    EXPECT_EQ(rt::send(layer, sel::borderWidth), edge.layerWidth);
  }
  // "dominant": the icon's colour at 0.8, on the strip and the layer border alike; no
  // border colour, no border.
  set("borderColorWidget", "dominant");
  set("borderPositionWidget", "all");
  relayout();
  EXPECT_EQ(colour(strip()), dominantAt(0.8));
  const auto* border = host::CGColor::cls.cast(rt::send(layer, sel::borderColor).get());
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->components(), dominantAt(0.8));
  set("borderColorWidget", "none");
  relayout();
  EXPECT_EQ(rt::send(layer, sel::borderWidth), 0);
}

TEST_F(WidgetTest, AColouredHeaderMovesTheContentFourPointsDown) {
  show(R"({"colorHeaderWidget": "#FF0000"})", kBlueWidget);
  Ref<> content = rt::send(platter, sel::contentView);
  EXPECT_EQ(rt::send(content, sel::frame), (CGRect{{0, 40}, {359, 114}}));
  set("colorHeaderWidget", "none");
  relayout();
  EXPECT_EQ(rt::send(content, sel::frame).origin.y, 36);
}

TEST_F(WidgetTest, WithWidgetsDisabledEveryWidgetIsExactlyTheHosts) {
  const std::string widgets = R"(, "widgets": [{"id": "w", "icon": {"colour": "#3366CC"}}]})";
  const std::string styled = R"({"colorBackgroundWidget": "#FF0000", "colorHeaderWidget":
      "#00FF00", "borderColorWidget": "#0000FF", "roundedCornersWidget": "round")";
  auto widgetDump = [&](const std::string& preferences, bool loaded) {
    const auto s = build(R"({"preferences": )" + preferences + widgets,
                         loaded ? std::function<void()>(lumora::loadSystem) : nullptr);
    host::scene::runClock(std::nullopt);
    return dumpOf(s)["surfaces"];
  };
  const auto hostOnly = widgetDump(styled + "}", false);
  EXPECT_EQ(widgetDump(styled + R"(, "enableWidgets": false})", true), hostOnly);
  EXPECT_NE(widgetDump(styled + "}", true), hostOnly);
}
