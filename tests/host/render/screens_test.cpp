// The device's screens as a person judges them: text that never runs into other text at
// any scale, media controls that stand out in either style, a collapsed stack whose
// front card hides the cards behind it, and a home screen of the apps a person sees.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "host/render/chrome.h"
#include "host/render/content.h"
#include "host/render/screens.h"
#include "host/scene/scene_fixture.h"
#include "host/scene/stage.h"
#include "host/springboard/media_player.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"
#include "host/uikit/label.h"

using namespace host;
namespace fs = std::filesystem;

namespace {

// The view's frame in the coordinates of its window.
CGRect inWindow(const UIView& view) {
  CGRect f = view.frame();
  for (const UIView* v = view.superviewPointer(); v && v->superviewPointer();
       v = v->superviewPointer()) {
    f.origin.x += v->frame().origin.x - v->bounds().origin.x;
    f.origin.y += v->frame().origin.y - v->bounds().origin.y;
  }
  return f;
}

bool shown(const UIView& view) {
  for (const UIView* v = &view; v; v = v->superviewPointer())
    if (v->isHidden() || !(v->alpha() > 0)) return false;
  return true;
}

void collectLabels(const UIView& view, std::vector<const UILabel*>& out) {
  if (const UILabel* label = UILabel::cls.cast(&view)) out.push_back(label);
  for (const auto& child : view.subviewList()) collectLabels(*child, out);
}

double overlap(CGRect a, CGRect b) {
  const double w = std::min(a.origin.x + a.size.width, b.origin.x + b.size.width) -
                   std::max(a.origin.x, b.origin.x);
  const double h = std::min(a.origin.y + a.size.height, b.origin.y + b.size.height) -
                   std::max(a.origin.y, b.origin.y);
  return w > 0 && h > 0 ? w * h : 0;
}

// WCAG's relative luminance of an sRGB pixel, and the contrast of two.
double luminance(uint32_t p) {
  auto channel = [](uint32_t v) {
    const double c = static_cast<double>(v & 0xff) / 255;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(p >> 16) + 0.7152 * channel(p >> 8) + 0.0722 * channel(p);
}
double contrast(uint32_t a, uint32_t b) {
  const double x = luminance(a), y = luminance(b);
  return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

class ScreensTest : public testing_support::SceneFixture {
 protected:
  static constexpr double kScale = 2;
  void render() {
    ScreensPicture p = renderScreens(device(), wallpaperFor(device().interfaceStyle), kScale);
    ASSERT_TRUE(p.surface) << p.error;
    picture = std::move(p.surface);
  }
  // The pixel at (x, y) points of the lockscreen.
  uint32_t at(double x, double y) const {
    const auto* data = cairo_image_surface_get_data(picture.get());
    const int stride = cairo_image_surface_get_stride(picture.get());
    const auto px = static_cast<int>(x * kScale), py = static_cast<int>(y * kScale);
    return reinterpret_cast<const uint32_t*>(data + py * stride)[px];
  }
  SurfacePtr picture;
};

}  // namespace

TEST_F(ScreensTest, NoLabelsTextRunsIntoAnotherAtAnyScale) {
  int scenes = 0;
  for (const auto& entry : fs::directory_iterator(LUMORA_SCENES)) {
    if (entry.path().extension() != ".json") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++scenes;
    const std::vector<scene::Surface> surfaces =
        build(testing_support::readBytes(entry.path()), lumora::loadSystem, LUMORA_SCENES);
    scene::runClock(std::nullopt);
    for (const scene::Surface& s : surfaces) {
      const Ref<> view = s.controller ? rt::send(s.controller, sel::view) : s.view;
      const UIView* top = UIView::cls.cast(view.get());
      if (!top || s.kind == scene::Surface::Kind::List) continue;
      std::vector<const UILabel*> labels;
      collectLabels(*top, labels);
      for (double scale : {1.0, 2.0, 3.0}) {
        std::vector<std::pair<const UILabel*, CGRect>> drawn;
        for (const UILabel* label : labels) {
          const render::DrawnText text = render::drawnText(*label, scale);
          if (text.lines == 0 || !shown(*label)) continue;
          const CGRect bounds = label->bounds();
          // What the frame holds: more than one line only where every line fits.
          if (text.lines > 1) {
            EXPECT_LE(text.box.size.height, bounds.size.height + 0.01)
                << text.lines << " lines at scale " << scale << " in " << *s.id;
          }
          CGRect box = inWindow(*label);
          box.origin.x += text.box.origin.x - bounds.origin.x;
          box.origin.y += text.box.origin.y - bounds.origin.y;
          box.size = text.box.size;
          for (const auto& [other, otherBox] : drawn)
            EXPECT_LT(overlap(box, otherBox), 1.0)
                << "scale " << scale << ": \"" << *stringText(label->text().get()) << "\" over \""
                << *stringText(other->text().get()) << "\"";
          drawn.emplace_back(label, box);
        }
      }
    }
  }
  EXPECT_GE(scenes, 10);
}

TEST_F(ScreensTest, MediaGlyphsAndTracksStandOutFromThePlatterInBothStyles) {
  for (const char* style : {"light", "dark"}) {
    SCOPED_TRACE(style);
    build(std::string(R"({"device": {"interfaceStyle": ")") + style +
          R"("}, "nowPlaying": {"title": "T", "artist": "A"}})");
    scene::runClock(std::nullopt);
    render();
    const UIView* controls = nullptr;
    std::vector<const UIView*> all{UIView::cls.cast(lockscreenWindow().get())};
    for (size_t i = 0; i < all.size(); ++i) {
      if (CSMediaControlsView::cls.cast(all[i])) controls = all[i];
      for (const auto& c : all[i]->subviewList()) all.push_back(c.get());
    }
    ASSERT_TRUE(controls);
    int glyphs = 0, tracks = 0;
    for (const auto& child : controls->subviewList()) {
      const CGRect f = inWindow(*child);
      const bool glyph = !child->caLayer().sublayerList().empty() && f.size.width == 44 &&
                         !UILabel::cls.cast(child.get());
      const bool track = f.size.height == 4 && f.size.width > 300;
      if (!glyph && !track) continue;
      // The platter just above the control, and the control's own middle: the pause
      // glyph's bars lie left and right of its middle, so the glyph is sampled at its
      // densest column, 2 points left of the middle of the left bar's right edge.
      const uint32_t platter = at(f.origin.x + 2, f.origin.y - 3);
      const double midY = f.origin.y + f.size.height / 2;
      const uint32_t ink = glyph ? at(f.origin.x + 17.5, midY) : at(f.origin.x + 40, midY);
      EXPECT_GE(contrast(ink, platter), glyph ? 4.5 : 3.0)
          << std::hex << ink << " on " << platter << " at " << f.origin.x << ", " << f.origin.y;
      ++(glyph ? glyphs : tracks);
    }
    EXPECT_EQ(glyphs, 3);
    EXPECT_EQ(tracks, 2);
  }
}

TEST_F(ScreensTest, ACollapsedStacksFrontCardHidesTheCardsBehindIt) {
  for (int cards : {2, 3}) {
    SCOPED_TRACE(cards);
    std::string notifications;
    for (int i = 0; i < cards; ++i)
      notifications +=
          std::string(i ? "," : "") +
          R"({"presentation": "lockscreen", "section": "a", "stack": "s", "title": "Title )" +
          std::to_string(i) + R"(", "message": "A message long enough to wrap"})";
    build(R"({"device": {"locked": true}, "apps": [{"bundleIdentifier": "a", "name": "A"}],
              "notifications": [)" +
          notifications + "]}");
    scene::runClock(std::nullopt);
    // The stack's cells, back to front.
    const UIView* stack = nullptr;
    std::vector<const UIView*> all{UIView::cls.cast(lockscreenWindow().get())};
    for (size_t i = 0; i < all.size(); ++i) {
      if (rt::class_getName(all[i]->isa()) == std::string("NCNotificationListView")) stack = all[i];
      for (const auto& c : all[i]->subviewList()) all.push_back(c.get());
    }
    ASSERT_TRUE(stack);
    const auto& cells = stack->subviewList();
    ASSERT_EQ(cells.size(), static_cast<size_t>(cards));
    const CGRect front = inWindow(*cells.back());
    render();
    SurfacePtr withBack = std::move(picture);
    for (size_t i = 0; i + 1 < cells.size(); ++i) cells[i]->setHidden(true);
    render();
    // Inside the front card (off its antialiased edge) nothing of the cards behind.
    int differing = 0;
    for (double y = front.origin.y + 1; y < front.origin.y + front.size.height - 1; y += 0.5)
      for (double x = front.origin.x + 1; x < front.origin.x + front.size.width - 1; x += 0.5) {
        const uint32_t alone = at(x, y);
        std::swap(picture, withBack);
        differing += at(x, y) != alone;
        std::swap(picture, withBack);
      }
    EXPECT_EQ(differing, 0);
    // Below it, the cards behind show as strips.
    const double below = front.origin.y + front.size.height + 3;
    const uint32_t alone = at(front.origin.x + front.size.width / 2, below);
    std::swap(picture, withBack);
    EXPECT_NE(at(front.origin.x + front.size.width / 2, below), alone);
  }
}

TEST_F(ScreensTest, TheHomeScreenLeavesOutHiddenPlaceholderAndRemovedApps) {
  // The icons drawn for the scene's apps, as bytes of a picture of the screen.
  const auto icons = [&](const std::string& apps) {
    build(R"({"apps": [{"bundleIdentifier": "a", "name": "A", "icon": {"colour": "#FF0000"}})" +
          apps + "]}");
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 375, 812));
    cairo_t* cr = cairo_create(surface.get());
    render::drawHomeScreenIcons(cr, device());
    cairo_destroy(cr);
    cairo_surface_flush(surface.get());
    const auto* data = cairo_image_surface_get_data(surface.get());
    return std::vector<uint8_t>(data, data + cairo_image_surface_get_stride(surface.get()) * 812);
  };
  const auto alone = icons("");
  const std::string app = R"(, {"bundleIdentifier": "b", "name": "B", "type": "System",
                                 "icon": {"colour": "#00FF00"})";
  EXPECT_EQ(icons(app + R"(, "tags": ["hidden"]})"), alone);
  EXPECT_EQ(icons(app + R"(, "placeholder": true})"), alone);
  EXPECT_EQ(icons(app + R"(, "removedSystemApp": true})"), alone);
  EXPECT_NE(icons(app + R"(, "tags": ["shown"]})"), alone);  // other tags: on the screen
}

TEST(ClockFace, ReadsAsInUSEnglishWithItsWeekday) {
  EXPECT_EQ(render::dateText({2026, 12, 7, 9, 41}), "Monday, December 7");
  EXPECT_EQ(render::dateText({2024, 2, 29, 0, 0}), "Thursday, February 29");
  EXPECT_EQ(render::clockText({2026, 1, 1, 0, 5}), "12:05");
  EXPECT_EQ(render::clockText({2026, 1, 1, 13, 0}), "1:00");
}
