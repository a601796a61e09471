// The dominant and average colours of images.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "colour/image_colour.h"
#include "host/image_fixtures.h"
#include "host/quartz/cgcolor.h"
#include "host/quartz/image_codec.h"
#include "host/uikit/colour.h"
#include "sample_icons.h"
#include "support/files.h"

using namespace lumora;
using fixtures::RGBA;
using Components = std::array<double, 4>;

namespace {

// The literal clustering rule, one pixel and one cluster at a time.
std::vector<RGBPixel> referenceClusters(const std::vector<uint8_t>& rgba) {
  std::vector<RGBPixel> clusters;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    if (rgba[i + 3] < 128) continue;
    const RGBPixel p{rgba[i], rgba[i + 1], rgba[i + 2], 0};
    bool merged = false;
    for (RGBPixel& c : clusters) {
      if (colourDistance(p, c) < 40) {
        c.r = (c.r + p.r) / 2, c.g = (c.g + p.g) / 2, c.b = (c.b + p.b) / 2, c.d += 1;
        merged = true;
        break;
      }
    }
    if (!merged) clusters.push_back(p);
  }
  return clusters;
}

// The literal choice among clusters, with HSB worked out by hand.
Components referenceDominant(std::vector<RGBPixel> clusters) {
  if (clusters.size() < 2) return {0, 0, 0, 0};
  std::stable_sort(clusters.begin(), clusters.end(),
                   [](const RGBPixel& a, const RGBPixel& b) { return a.d > b.d; });
  const auto colour = [](const RGBPixel& c) {
    return Components{static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
                      static_cast<float>(c.b) / 255.0f, 1};
  };
  const auto vivid = [](const Components& c) {
    const double v = std::max({c[0], c[1], c[2]}), m = std::min({c[0], c[1], c[2]});
    return (v ? (v - m) / v : 0) + 0.5 * v;
  };
  const Components a = colour(clusters[0]), b = colour(clusters[1]);
  if (clusters[0].d * 0.125 < clusters[1].d && vivid(b) > vivid(a)) return b;
  return a;
}

Components components(id colour) {
  Ref<> cg = rt::send(colour, sel::CGColor);
  const double* c = host::CGColorGetComponents(cg.get());
  return {c[0], c[1], c[2], c[3]};
}

// A random image of a kind: palettes with small noise (merges and long-lived clusters),
// uniform noise (many clusters), a gradient, runs of palette colours broken by
// see-through pixels (repeats, and clusters taking turns), or long runs of colours near
// one another (pixels near several clusters, and more clusters than a register holds),
// in some images with noise from a point on.
std::vector<uint8_t> randomPixels(std::mt19937& random, size_t count) {
  std::vector<uint8_t> bytes(count * 4);
  const int kind = random() % 5;
  size_t run = 0;
  RGBA current{};
  std::vector<RGBA> palette(1 + random() % (kind == 4 ? 40 : 12));
  for (auto& p : palette) p = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 255};
  if (kind == 4)
    for (auto& p : palette)
      for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(100 + p[c] % 64);
  const size_t noiseFrom = kind == 4 && random() % 3 == 0 ? random() % count : count;
  for (size_t i = 0; i < count; ++i) {
    RGBA p;
    if (kind == 0) {
      p = palette[random() % palette.size()];
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(std::clamp<int>(p[c] + int(random() % 31) - 15, 0, 255));
    } else if (kind == 1) {
      p = fixtures::randomPixel(random);
    } else if (kind == 2) {
      p = {uint8_t(i * 255 / count), uint8_t(255 - i * 255 / count), uint8_t(i % 256),
           uint8_t(random() % 2 ? 255 : 100)};
    } else if (kind == 3) {
      if (run == 0) run = 1 + random() % 9, current = palette[random() % palette.size()];
      --run;
      p = random() % 10 ? current : RGBA{0, 0, 0, 0};
    } else if (i < noiseFrom) {
      if (run == 0) run = 1 + random() % 150, current = palette[random() % palette.size()];
      --run;
      p = current;
    } else {
      p = fixtures::randomPixel(random);
    }
    std::copy(p.begin(), p.end(), bytes.begin() + static_cast<ptrdiff_t>(4 * i));
  }
  return bytes;
}

using ImageColour = fixtures::BootedHost;

TEST(AnalysisSize, ReducesToAboutTwoThousandPixelsKeepingTheRatio) {
  const auto size = [](double w, double h) { return analysisSize({w, h}); };
  EXPECT_EQ(size(40, 50), (AnalysisSize{40, 50}));  // 2000 pixels: analysed whole
  EXPECT_EQ(size(41, 50), (AnalysisSize{40, 49}));
  EXPECT_EQ(size(180, 180), (AnalysisSize{44, 44}));
  EXPECT_EQ(size(300, 200), (AnalysisSize{54, 36}));
  EXPECT_EQ(size(40.9, 50.99), (AnalysisSize{40, 50}));  // points truncated first
  EXPECT_EQ(size(0.5, 300), (AnalysisSize{0, 300}));
  EXPECT_EQ(size(1, 5000), (AnalysisSize{0, 3162}));  // too narrow: no pixels at all
}

TEST(Clustering, FastPathsEqualTheLiteralRuleClusterByCluster) {
  std::mt19937 random(1);
  for (int n = 0; n < 600; ++n) {
    const auto pixels = randomPixels(random, 1 + random() % 2000);
    const auto expected = referenceClusters(pixels);
    ASSERT_EQ(clusterPixels(pixels.data(), pixels.size() / 4), expected) << n;
    ASSERT_EQ(detail::clusterPixelsPortable(pixels.data(), pixels.size() / 4), expected) << n;
  }
}

TEST(Clustering, SortKeepsCreationOrderForEqualCounts) {
  std::vector<RGBPixel> clusters = {{1, 0, 0, 1}, {2, 0, 0, 3}, {3, 0, 0, 1}, {4, 0, 0, 3}};
  sortClusters(clusters);
  EXPECT_EQ(clusters,
            (std::vector<RGBPixel>{{2, 0, 0, 3}, {4, 0, 0, 3}, {1, 0, 0, 1}, {3, 0, 0, 1}}));
  // The leading two are always the stable sort's first two.
  std::mt19937 random(4);
  for (int n = 0; n < 200; ++n) {
    std::vector<RGBPixel> list(random() % 6);
    for (auto& c : list) c = {int32_t(random() % 256), 0, 0, int32_t(random() % 4)};
    std::vector<RGBPixel> sorted = list;
    sortClusters(sorted);
    sorted.resize(std::min<size_t>(sorted.size(), 2));
    ASSERT_EQ(leadingClusters(list), sorted);
  }
}

TEST_F(ImageColour, TheRunnerUpWinsOnlyWhenLargeEnoughAndMoreVivid) {
  const auto pick = [](std::vector<RGBPixel> sorted) {
    return components(dominantColourOfClusters(sorted).get());
  };
  const double third = static_cast<float>(85) / 255.0f;  // components are 32-bit quotients
  // 8 x 0.125 = 1 is not less than 1: the first wins however vivid the second.
  EXPECT_EQ(pick({{85, 85, 85, 8}, {255, 0, 0, 1}}), (Components{third, third, third, 1}));
  EXPECT_EQ(pick({{85, 85, 85, 7}, {255, 0, 0, 1}}), (Components{1, 0, 0, 1}));
  // Grey (vividness 0.25) loses to red (1.5) at 10 against 2.
  EXPECT_EQ(pick({{128, 128, 128, 10}, {255, 0, 0, 2}}), (Components{1, 0, 0, 1}));
  // Equal vividness: the most populous stays.
  EXPECT_EQ(pick({{255, 0, 0, 10}, {0, 0, 255, 9}}), (Components{1, 0, 0, 1}));
  EXPECT_EQ(pick({{255, 0, 0, 10}}), (Components{0, 0, 0, 0}));
  EXPECT_EQ(pick({}), (Components{0, 0, 0, 0}));
}

TEST_F(ImageColour, ImagesWithFewerThanTwoClustersGiveTheClearColour) {
  for (RGBA p : {RGBA{0, 0, 0, 0}, RGBA{200, 30, 90, 255}, RGBA{100, 100, 100, 127}})
    EXPECT_EQ(
        components(
            lumoraDominantColor(fixtures::uiImage(fixtures::flatImage(60, 60, p)).get()).get()),
        (Components{0, 0, 0, 0}));
  // Too narrow for the reduction: no pixel is visited.
  auto narrow = fixtures::makeImage(1, 5000, [](int, int y) {
    return y % 2 ? RGBA{255, 0, 0, 255} : RGBA{0, 0, 255, 255};
  });
  EXPECT_EQ(components(lumoraDominantColor(fixtures::uiImage(narrow).get()).get()),
            (Components{0, 0, 0, 0}));
  EXPECT_FALSE(lumoraDominantColor(nullptr));
  EXPECT_FALSE(lumoraAverageColor(nullptr));
}

TEST_F(ImageColour, ExactDownscalesGiveTheHandComputedColour) {
  std::mt19937 random(2);
  for (int n = 0; n < 30; ++n) {
    // Blocks of `block` x `block` pixels of one colour, `block` the scale or the reduction.
    const int block = 1 + n % 3;
    const bool reduced = n % 2;
    const int cellsW = reduced ? 44 : 40, cellsH = reduced ? 44 : 50;
    std::vector<uint8_t> cells = randomPixels(random, static_cast<size_t>(cellsW) * cellsH);
    const int side = reduced ? 2 : block;  // 88 points reduce to 44 exactly
    const double scale = reduced ? 1 : block;
    auto image = fixtures::makeImage(cellsW * side, cellsH * side, [&](int x, int y) {
      const uint8_t* p = &cells[4 * (static_cast<size_t>(y / side) * cellsW + x / side)];
      return RGBA{p[0], p[1], p[2], p[3]};
    });
    Ref<> uiImage = fixtures::uiImage(image, scale);
    ASSERT_EQ(analysisSize(rt::send(uiImage, sel::size)), (AnalysisSize{cellsW, cellsH}));
    EXPECT_EQ(drawForAnalysis(uiImage.get(), {cellsW, cellsH}), cells) << n;
    EXPECT_EQ(components(lumoraDominantColor(uiImage.get()).get()),
              referenceDominant(referenceClusters(cells)))
        << n;
  }
}

// The analysis of the benchmark's sample icons and of the reference images, as first
// recorded: the sampling bitmap (FNV-1a of its bytes), the number of clusters and the
// colour. Any change to the scaler or the clustering that moves a single byte shows here.
// An image re-recorded on purpose gets its new line from the failure message.
TEST_F(ImageColour, SampleIconsAndReferenceImagesKeepTheirRecordedColours) {
  struct Expected {
    const char* image;
    const char* analysis;
  };
  const Expected expected[] = {
      {"gradient+glyph", "44x44 bitmap 3fd5de1d4a4505f9, 10 clusters, #f1382d"},
      {"flat+glyph", "44x44 bitmap 5aba65448cc31d4f, 9 clusters, #d92530"},
      {"noisy", "44x44 bitmap 23b583cf0c560514, 9 clusters, #ee372d"},
      {"mosaic", "44x44 bitmap 333150a88c7694f7, 305 clusters, #debb94"},
      {"glyph-only", "44x44 bitmap 17430396874b3971, 1 clusters, #000000 clear"},
      {"photo", "44x44 bitmap 905339564e77ca04, 12 clusters, #702d48"},
      {"host_banner", "78x25 bitmap 92e40d199bda76d5, 18 clusters, #c68da1"},
      {"media_player", "58x34 bitmap d0440373d65836d3, 23 clusters, #d085a6"},
      {"scene_classic", "43x45 bitmap e712190d084532f0, 24 clusters, #cb8c9e"},
      {"scene_modern-shapes", "43x45 bitmap 63c8085b430bde85, 23 clusters, #cb8c9e"},
      {"scene_modern", "43x45 bitmap 58f9f9895ac6f722, 29 clusters, #cb8c9e"},
      {"scene_rtl-modern", "43x45 bitmap 36ef14c857c1e8b2, 23 clusters, #cb8c9e"},
      {"scene_see-through", "43x45 bitmap 2d3a93253776cc21, 20 clusters, #cb8c9e"},
      {"styled_widget", "71x27 bitmap 49b8301c4c3aae65, 11 clusters, #6281c4"},
      {"sunset@3x", "40x40 bitmap 7d467aec9eb0431c, 7 clusters, #293c8a"},
  };
  std::vector<std::pair<std::string, Ref<>>> images;
  for (int kind = 0; kind < sample_icons::kIconCount; ++kind) {
    const auto icon = static_cast<sample_icons::Icon>(kind);
    images.emplace_back(sample_icons::iconName(icon),
                        fixtures::uiImage(sample_icons::drawIcon(icon), 3));
  }
  for (const char* name :
       {"host_banner", "media_player", "scene_classic", "scene_modern-shapes", "scene_modern",
        "scene_rtl-modern", "scene_see-through", "styled_widget"}) {
    const std::string bytes = testing_support::readBytes(
        std::filesystem::path(LUMORA_REFERENCE_IMAGES) / (std::string(name) + ".png"));
    auto decoded = host::decodePNG({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(decoded.image) << name << ": " << decoded.error;
    images.emplace_back(name, fixtures::uiImage(decoded.image));
  }
  {
    const std::string bytes = testing_support::readBytes(std::filesystem::path(LUMORA_SCENES) /
                                                         "pictures" / "sunset@3x.png");
    auto decoded = host::decodePNG({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(decoded.image) << decoded.error;
    images.emplace_back("sunset@3x", fixtures::uiImage(decoded.image, 3));
  }
  EXPECT_EQ(images.size(), std::size(expected));
  for (size_t k = 0; k < images.size(); ++k) {
    const auto& [name, image] = images[k];
    const AnalysisSize size = analysisSize(rt::send(image, sel::size));
    const std::vector<uint8_t> pixels = drawForAnalysis(image.get(), size);
    uint64_t hash = 0xcbf29ce484222325u;
    for (uint8_t byte : pixels) hash = (hash ^ byte) * 0x100000001b3u;
    const Components c = components(lumoraDominantColor(image.get()).get());
    char line[128];
    std::snprintf(line, sizeof line, "%dx%d bitmap %016llx, %zu clusters, #%02x%02x%02x%s",
                  size.width, size.height, static_cast<unsigned long long>(hash),
                  clusterPixels(pixels.data(), pixels.size() / 4).size(),
                  static_cast<int>(std::lround(c[0] * 255)),
                  static_cast<int>(std::lround(c[1] * 255)),
                  static_cast<int>(std::lround(c[2] * 255)), c[3] == 0 ? " clear" : "");
    const Expected want = k < std::size(expected) ? expected[k] : Expected{"", ""};
    EXPECT_EQ(name, want.image);
    EXPECT_EQ(std::string(line), want.analysis) << "now: {\"" << name << "\", \"" << line << "\"},";
  }
}

TEST_F(ImageColour, AverageMultipliesPremultipliedBytesByAlphaOnceMore) {
  const auto average = [](rt::Ref<host::CGImage> image) {
    return components(lumoraAverageColor(fixtures::uiImage(image).get()).get());
  };
  EXPECT_EQ(average(fixtures::flatImage(600, 600, {200, 100, 50, 255})),
            (Components{200 / 255.0, 100 / 255.0, 50 / 255.0, 1}));
  EXPECT_EQ(average(fixtures::flatImage(7, 3, {0, 0, 0, 0})), (Components{0, 0, 0, 0}));
  const double m = 128.0 / 255 / 255;
  EXPECT_EQ(average(fixtures::flatImage(4, 4, {128, 128, 128, 128})),
            (Components{128 * m, 128 * m, 128 * m, 128 / 255.0}));
  // Opaque red over one half and clear over the other reduce to (128, 0, 0, 128).
  auto half = fixtures::makeImage(600, 600, [](int x, int) {
    return x < 300 ? RGBA{255, 0, 0, 255} : RGBA{0, 0, 0, 0};
  });
  EXPECT_EQ(average(half), (Components{128 * m, 0, 0, 128 / 255.0}));
}

}  // namespace
