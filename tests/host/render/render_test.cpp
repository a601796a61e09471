// The renderer, probed pixel by pixel on small view trees: each case draws one step of
// the compositing order and looks where that step must (and must not) have painted.
#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

#include "host/quartz/cgcolor.h"
#include "host/quartz/layer.h"
#include "host/render/blur.h"
#include "host/render/content.h"
#include "host/render/render_fixture.h"
#include "host/render/shadow.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"

using namespace host;
using rt::CGRect;
using RenderTest = testing_support::RenderFixture;

namespace {

Ref<> cgColours(std::initializer_list<std::array<double, 4>> colours) {
  std::vector<Ref<>> items;
  for (const auto& c : colours) items.push_back(CGColor::make(c[0], c[1], c[2], c[3]));
  return NSArray::make(std::move(items));
}

Ref<> path(std::initializer_list<CGPoint> points) {
  std::vector<CGPath::Element> elements;
  for (const CGPoint& p : points)
    elements.push_back(
        {elements.empty() ? CGPath::Element::Kind::Move : CGPath::Element::Kind::Line, p});
  return CGPath::cls.make(std::move(elements));
}

}  // namespace

TEST_F(RenderTest, RoundedBackgroundLeavesCornersClearAndContinuousCornersDifferFromArcs) {
  UIView& card = view({{0, 0}, {40, 32}}, kRed);
  card.caLayer().setCornerRadius(10);
  render(card);
  EXPECT_EQ(at(0, 0), kClear);
  EXPECT_EQ(at(39, 31), kClear);
  EXPECT_EQ(at(20, 15), kOpaqueRed);
  EXPECT_EQ(at(20, 0), kOpaqueRed);  // the straight edge is full
  EXPECT_EQ(alphaAt(11, 0), 255);    // the arc has met the edge at the radius

  card.caLayer().setContinuousCorners(true);
  render(card);
  int continuous = 0, doubled = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) continuous += alphaAt(x, y);
  // The continuous curve is still easing into the edge beyond the radius.
  EXPECT_LT(alphaAt(11, 0), 245);
  EXPECT_GT(alphaAt(11, 0), 200);
  EXPECT_EQ(alphaAt(16, 0), 255);
  // ...and at scale 2 the picture is twice the size, with the same shape.
  render(card, 2);
  EXPECT_EQ(picture->width(), 80);
  EXPECT_EQ(picture->height(), 64);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) doubled += alphaAt(x, y);
  EXPECT_NEAR(doubled / 4.0, continuous, 255 * 2);

  // Half the height is too large for the continuous curve: circular arcs, a capsule
  // whose ends are half discs, children clipped to it.
  card.setFrame({{0, 0}, {80, 30}});
  card.caLayer().setCornerRadius(15);
  card.setClipsToBounds(true);
  view({{76, 0}, {4, 30}}, kBlue, &card);
  render(card);
  EXPECT_EQ(alphaAt(3, 15), 255);  // the capsule's end reaches the edge mid-height...
  EXPECT_EQ(at(4, 1), kClear);     // ...and curves away towards the corners
  EXPECT_LT(alphaAt(1, 6), 30);    // as a circle (a continuous curve stays near the edge)
  EXPECT_EQ(at(40, 0), kOpaqueRed);
  EXPECT_EQ(at(79, 2), kClear);  // the strip is cut by the curve
  EXPECT_EQ(at(78, 15), (std::array<int, 4>{0, 0, 255, 255}));
}

TEST_F(RenderTest, MaskedCornersRoundOnlyTheCornersNamed) {
  UIView& strip = view({{0, 0}, {40, 30}}, kRed);
  strip.caLayer().setCornerRadius(10);
  strip.caLayer().setMaskedCorners(CALayer::kMinXMinYCorner | CALayer::kMaxXMinYCorner);
  for (bool continuous : {false, true}) {
    strip.caLayer().setContinuousCorners(continuous);
    render(strip);
    EXPECT_EQ(at(0, 0), kClear);
    EXPECT_EQ(at(39, 0), kClear);
    EXPECT_EQ(at(0, 29), kOpaqueRed);  // the bottom corners stay square
    EXPECT_EQ(at(39, 29), kOpaqueRed);
    EXPECT_EQ(at(20, 0), kOpaqueRed);
  }
}

TEST_F(RenderTest, HiddenAndTransparentViewsDrawNothingNorDoTheirSubviews) {
  UIView& root = view({{0, 0}, {20, 20}});
  UIView& hidden = view({{0, 0}, {10, 20}}, kRed, &root);
  view({{0, 0}, {5, 5}}, kBlue, &hidden);
  UIView& clear = view({{10, 0}, {10, 20}}, kRed, &root);
  view({{10, 0}, {5, 5}}, kBlue, &clear);
  hidden.setHidden(true);
  clear.setAlpha(0);
  render(root);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(alphaAt(x, y), 0) << x << ", " << y;
}

TEST_F(RenderTest, AlphaBelowOneFadesTheSubtreeAsOneGroup) {
  UIView& root = view({{0, 0}, {20, 20}});
  UIView& faded = view({{0, 0}, {20, 20}}, kRed, &root);
  view({{0, 0}, {10, 20}}, kBlue, &faded);
  faded.setAlpha(0.5);
  render(root);
  // Blue covers red inside the group: no red shows through the faded blue.
  const auto blue = at(5, 10);
  EXPECT_EQ(blue[0], 0);
  EXPECT_NEAR(blue[2], 128, 1);
  EXPECT_NEAR(blue[3], 128, 1);
  const auto red = at(15, 10);
  EXPECT_NEAR(red[0], 128, 1);
  EXPECT_NEAR(red[3], 128, 1);
}

TEST_F(RenderTest, BorderLiesInsideTheBoundsOnTopOfSubviews) {
  UIView& root = view({{0, 0}, {30, 30}});
  UIView& card = view({{5, 5}, {20, 20}}, {}, &root);
  view({{0, 0}, {20, 20}}, kRed, &card);
  card.caLayer().setBorderWidth(3);
  card.caLayer().setBorderColor(CGColor::make(0, 1, 0, 1).get());
  render(root);
  EXPECT_EQ(at(4, 15), kClear);  // nothing outside the bounds
  EXPECT_EQ(at(5, 15), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ(at(7, 15), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ(at(24, 15), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ(at(8, 15), kOpaqueRed);  // the subview shows within the border
  EXPECT_EQ(at(15, 15), kOpaqueRed);
  // A colour set to nil draws no border; one never set is opaque black.
  card.caLayer().setBorderColor(nullptr);
  render(root);
  EXPECT_EQ(at(5, 15), kOpaqueRed);
  UIView& fresh = view({{0, 0}, {10, 10}});
  fresh.caLayer().setBorderWidth(2);
  render(fresh);
  EXPECT_EQ(at(0, 5), (std::array<int, 4>{0, 0, 0, 255}));
}

TEST_F(RenderTest, MasksToBoundsClipsSubviewsToTheRoundedShapeAndDropsTheShadow) {
  UIView& root = view({{0, 0}, {40, 40}});
  UIView& clip = view({{0, 0}, {20, 20}}, {}, &root);
  view({{0, 0}, {40, 40}}, kRed, &clip);
  render(root);
  EXPECT_EQ(at(30, 30), kOpaqueRed);  // not clipped yet

  clip.setClipsToBounds(true);
  clip.caLayer().setCornerRadius(8);
  clip.caLayer().setShadowOpacity(1);
  render(root);
  EXPECT_EQ(at(30, 30), kClear);
  EXPECT_EQ(at(10, 10), kOpaqueRed);
  EXPECT_EQ(at(0, 0), kClear);    // the clip has the corners
  EXPECT_EQ(at(10, 22), kClear);  // no shadow below
}

TEST_F(RenderTest, GradientRunsFromStartToEndThroughEvenlySpacedColours) {
  UIView& root = view({{0, 0}, {101, 10}});
  Ref<> gradient = rt::send(CAGradientLayer::cls.get(), sel::new_);
  auto* g = CAGradientLayer::cls.cast(gradient.get());
  g->setFrame({{0, 0}, {101, 10}});
  g->setColors(cgColours({{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}}).get());
  g->setStartPoint({0, 0.5});
  g->setEndPoint({1, 0.5});
  root.caLayer().addSublayer(gradient.get());
  render(root);
  EXPECT_GT(at(0, 5)[0], 250);
  EXPECT_GT(at(50, 5)[1], 250);  // the middle colour at the middle
  EXPECT_GT(at(100, 5)[2], 250);
  EXPECT_NEAR(at(25, 5)[0], at(25, 5)[1], 6);

  // The default runs top to bottom.
  g->setStartPoint({0.5, 0});
  g->setEndPoint({0.5, 1});
  render(root);
  EXPECT_GT(at(50, 0)[0], 200);
  EXPECT_GT(at(50, 9)[2], 200);
}

TEST_F(RenderTest, TriangleMaskShowsOnlyInsideItsPath) {
  UIView& root = view({{0, 0}, {30, 30}});
  UIView& dot = view({{5, 5}, {20, 20}}, kRed, &root);
  Ref<> mask = rt::send(CAShapeLayer::cls.get(), sel::new_);
  auto* shape = CAShapeLayer::cls.cast(mask.get());
  shape->setFrame({{0, 0}, {20, 20}});
  shape->setPath(path({{0, 0}, {20, 0}, {0, 20}}).get());
  dot.caLayer().setMask(mask.get());
  render(root);
  EXPECT_EQ(at(8, 8), kOpaqueRed);
  EXPECT_EQ(at(22, 22), kClear);
  EXPECT_EQ(at(2, 2), kClear);  // still within the view's frame only
  // A mask moved by its frame moves what shows.
  shape->setFrame({{10, 10}, {20, 20}});
  render(root);
  EXPECT_EQ(at(8, 8), kClear);
  EXPECT_EQ(at(17, 17), kOpaqueRed);
}

TEST_F(RenderTest, LabelTextIsInsideItsFrameCentredVerticallyInItsColour) {
  UIView& root = view({{0, 0}, {200, 60}});
  UIView& labelView = view("UILabel", {{20, 10}, {120, 40}}, {}, &root);
  auto& label = static_cast<UILabel&>(labelView);
  label.setText(NSStr("Lunch at noon? Then a walk by the river").get());
  label.setFont(UIFont::make(15).get());
  label.setTextColor(UIColor::make(0, 0, 1, 1).get());
  render(root);
  int inked = 0, top = 60, bottom = 0, right = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      const auto p = at(x, y);
      if (p[3] == 0) continue;
      ++inked;
      EXPECT_TRUE(x >= 20 && x < 140 && y >= 10 && y < 50) << x << ", " << y;
      EXPECT_EQ(p[0], 0);
      EXPECT_EQ(p[2], p[3]);  // blue
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      right = std::max(right, x);
    }
  EXPECT_GT(inked, 100);
  // The first and last rows holding ink.
  auto inkedRows = [&] {
    int first = 60, last = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x)
        if (alphaAt(x, y)) first = std::min(first, y), last = std::max(last, y);
    return std::pair{first, last};
  };
  // One line, ellipsised near the right edge, in the middle of the 40-point frame.
  EXPECT_LT(bottom - top, 20);
  EXPECT_NEAR((top + bottom) / 2.0, 30, 3);
  EXPECT_GT(right, 120);

  // Two lines allowed: the text wraps and still centres.
  label.setNumberOfLines(2);
  render(root);
  std::tie(top, bottom) = inkedRows();
  EXPECT_GT(bottom - top, 25);
  EXPECT_NEAR((top + bottom) / 2.0, 30, 3);

  // No limit: as many lines as the text needs, here three.
  label.setNumberOfLines(0);
  labelView.setFrame({{20, 0}, {120, 60}});
  render(root);
  std::tie(top, bottom) = inkedRows();
  EXPECT_GT(bottom - top, 40);
}

TEST_F(RenderTest, ShadowFallsBelowTheCardBeyondItsBoundsAndFades) {
  UIView& root = view({{0, 0}, {140, 110}});
  UIView& card = view({{20, 20}, {100, 50}}, kWhite, &root);
  card.caLayer().setCornerRadius(10);
  card.caLayer().setShadowOpacity(0.5);
  card.caLayer().setShadowRadius(8);
  card.caLayer().setShadowOffset({0, 6});
  render(root);
  EXPECT_EQ(at(70, 45), (std::array<int, 4>{255, 255, 255, 255}));
  const int below = alphaAt(70, 72), further = alphaAt(70, 82), far = alphaAt(70, 105);
  const int above = alphaAt(70, 18);
  EXPECT_GT(below, 40);
  EXPECT_LT(below, 128);
  EXPECT_GT(below, further);
  EXPECT_GT(further, 0);
  EXPECT_EQ(far, 0);
  EXPECT_LT(above, below);                            // offset downward
  EXPECT_EQ(at(70, 72)[0], 0);                        // black
  EXPECT_NEAR(alphaAt(17, 45), alphaAt(122, 45), 1);  // no sideways offset

  // The shadow of a card far larger than the picture is blurred only where it shows, the
  // same as near the card's edge.
  UIView& huge = view({{-19980, -20000}, {20000, 20065}}, kWhite, &root);
  huge.caLayer().setShadowOpacity(0.5);
  huge.caLayer().setShadowRadius(8);
  huge.caLayer().setShadowOffset({100, 0});
  card.setHidden(true);
  render(root);
  EXPECT_EQ(at(10, 45), (std::array<int, 4>{255, 255, 255, 255}));
  EXPECT_EQ(alphaAt(70, 45), 128);
  EXPECT_NEAR(alphaAt(120, 45), 64, 8);  // the blurred edge, about half of it
}

TEST_F(RenderTest, ImagesSitInTheirContentModeAndSymbolsTakeTheTint) {
  EXPECT_EQ(render::imageRect({{0, 0}, {40, 20}}, {10, 10}, UIViewContentModeScaleAspectFit),
            (CGRect{{10, 0}, {20, 20}}));
  EXPECT_EQ(render::imageRect({{0, 0}, {40, 20}}, {10, 10}, UIViewContentModeScaleAspectFill),
            (CGRect{{0, -10}, {40, 40}}));
  EXPECT_EQ(render::imageRect({{0, 0}, {40, 20}}, {10, 10}, UIViewContentModeCenter),
            (CGRect{{15, 5}, {10, 10}}));
  EXPECT_EQ(render::imageRect({{0, 0}, {40, 20}}, {10, 10}, UIViewContentModeScaleToFill),
            (CGRect{{0, 0}, {40, 20}}));

  std::vector<uint32_t> white(4 * 4, 0xffffffffu);
  Ref<UIImage> image = UIImage::make(CGImage::fromPixels(4, 4, white.data()), 2);  // 2 x 2 pt
  UIView& root = view({{0, 0}, {20, 10}});
  auto& imageView = static_cast<UIImageView&>(view("UIImageView", {{0, 0}, {20, 10}}, {}, &root));
  imageView.setImage(image.get());
  imageView.setContentMode(UIViewContentModeScaleAspectFit);
  render(root);
  EXPECT_EQ(alphaAt(2, 5), 0);
  EXPECT_EQ(at(10, 5), (std::array<int, 4>{255, 255, 255, 255}));

  image->setOrigin({ImageOrigin::Kind::Symbol, "bell.fill", false});
  imageView.setTintColor(UIColor::make(1, 0, 0, 1).get());
  render(root);
  EXPECT_EQ(at(10, 5), kOpaqueRed);
}

TEST_F(RenderTest, ARefusedSizeOrScaleIsReportedWithoutAPicture) {
  UIView& empty = view({{0, 0}, {0, 10}});
  RenderedImage r = renderView(empty, 1);
  EXPECT_FALSE(r.image);
  EXPECT_NE(r.error, "");
  UIView& small = view({{0, 0}, {10, 10}});
  EXPECT_FALSE(renderView(small, 0).image);
  EXPECT_FALSE(renderView(small, 1e6).image);
}

// Sizes from settings are data: a view far beyond anything a picture shows (a size of
// 2^31 points, a badge 2^31 points to the right) is drawn shrunk to what can be shown, or
// left out, the rest as usual, with a note naming the view.
TEST_F(RenderTest, AViewBeyondReachIsShrunkOrLeftOutWithANoteAndTheRestDrawn) {
  std::vector<uint32_t> white(4 * 4, 0xffffffffu);
  Ref<UIImage> image = UIImage::make(CGImage::fromPixels(4, 4, white.data()), 1);
  for (double size : {2147483648.0, -2147483648.0, 4294967296.0}) {
    UIView& root = view({{0, 0}, {40, 20}}, kRed);
    view({{0, 0}, {5, 5}}, kBlue, &root);
    auto& huge =
        static_cast<UIImageView&>(view("UIImageView", {{20, -size / 2}, {size, size}}, {}, &root));
    huge.setImage(image.get());
    huge.setClipsToBounds(true);
    huge.caLayer().setCornerRadius(size / 4);
    huge.caLayer().setShadowOpacity(1);
    auto& far = static_cast<UIImageView&>(view("UIImageView", {{size, 5}, {15, 15}}, {}, &root));
    far.setImage(image.get());
    UILabel& label = static_cast<UILabel&>(view("UILabel", {{0, 0}, {size, 18}}, {}, &root));
    label.setText(NSStr("Title").get());
    RenderedImage r = renderView(root, 3);
    ASSERT_TRUE(r.image) << size << ": " << r.error;
    picture = r.image;
    EXPECT_EQ(at(30, 30), kOpaqueRed) << size;
    EXPECT_EQ(at(3, 3), (std::array<int, 4>{0, 0, 255, 255})) << size;
    if (size > 0) {
      EXPECT_EQ(at(100, 30), (std::array<int, 4>{255, 255, 255, 255}));
    }
    ASSERT_FALSE(r.notes.empty()) << size;
    EXPECT_NE(r.notes.front().find("UIImageView"), std::string::npos) << r.notes.front();
  }
}

TEST(ShadowBlur, ThreeBoxesMatchTheGaussiansSpreadAndKeepItsMass) {
  for (double sigma : {1.5, 4.0, 12.0}) {
    const auto w = render::boxBlurWidths(sigma);
    double variance = 0;
    for (int width : w) {
      EXPECT_EQ(width % 2, 1);
      variance += (width * width - 1) / 12.0;
    }
    EXPECT_NEAR(std::sqrt(variance), sigma, 0.35) << sigma;
  }
  // A block of ink spreads symmetrically and keeps its total, in its own channel only.
  constexpr int n = 41;
  for (int channels : {1, 4}) {
    std::vector<uint8_t> a(n * n * channels, 0);
    for (int y = 18; y < 23; ++y)
      for (int x = 18; x < 23; ++x) a[(y * n + x) * channels + channels / 2] = 255;
    render::blurPixels(a.data(), n, n, n * channels, channels, 3);
    long total = 0, others = 0;
    for (size_t i = 0; i < a.size(); ++i)
      (i % channels == size_t(channels / 2) ? total : others) += a[i];
    EXPECT_NEAR(total, 25 * 255, 25 * 255 / 50) << channels;
    EXPECT_EQ(others, 0) << channels;
    auto at = [&](int x, int y) { return a[(y * n + x) * channels + channels / 2]; };
    EXPECT_EQ(at(12, 20), at(28, 20));
    EXPECT_EQ(at(20, 12), at(20, 28));
    EXPECT_GT(at(20, 20), at(15, 20));
    EXPECT_GT(at(15, 20), at(10, 20));
    EXPECT_EQ(at(0, 0), 0);
  }
}
