// Golden images: a rendering compared with a reference PNG under tests/data/golden.
//
// Pixels are compared after decoding, never PNG bytes: the actual image goes through
// the same PNG encoding and decoding as the reference, so an unchanged rendering matches
// exactly and `tolerance` (per channel, 0 to 255) only absorbs real, tiny differences.
// `LUMORA_RECORD_GOLDEN=1` writes the reference anew and fails, saying what it recorded,
// so a recording never passes silently; a missing reference fails and says how to
// record it. On a mismatch the actual image and a difference image (differing pixels in
// red, the rest a faint grey of the actual) are written under the build folder, and
// their paths printed.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/quartz/image_codec.h"
#include "support/files.h"

#ifndef LUMORA_GOLDEN_DIR
#error "LUMORA_GOLDEN_DIR must name the folder of the reference images"
#endif
#ifndef LUMORA_GOLDEN_OUT
#error "LUMORA_GOLDEN_OUT must name the folder for failed comparisons"
#endif

namespace testing_support {

// A compressed PNG of the image (the host's own encoder stores its data uncompressed,
// which suits its cache keys but not files kept in the tree).
inline std::string pngBytes(const host::CGImage& image) {
  std::string bytes;
  cairo_surface_write_to_png_stream(
      image.surface(),
      [](void* out, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &bytes);
  return bytes;
}

inline rt::Ref<host::CGImage> decodedPNG(const std::string& bytes) {
  return host::decodePNG({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}).image;
}

inline ::testing::AssertionResult matchesGolden(const host::CGImage& actual,
                                                const std::string& name, int tolerance) {
  const fs::path reference = fs::path(LUMORA_GOLDEN_DIR) / (name + ".png");
  const char* record = std::getenv("LUMORA_RECORD_GOLDEN");
  if (record && std::string(record) == "1") {
    writeBytes(reference, pngBytes(actual));
    return ::testing::AssertionFailure()
           << "recorded " << reference << " (" << actual.width() << " x " << actual.height()
           << "); look at it, then run again without LUMORA_RECORD_GOLDEN";
  }
  if (!fs::exists(reference))
    return ::testing::AssertionFailure()
           << "no reference image " << reference
           << "; record one with LUMORA_RECORD_GOLDEN=1 and the usual test command";

  const rt::Ref<host::CGImage> got = decodedPNG(pngBytes(actual));
  const rt::Ref<host::CGImage> want = decodedPNG(readBytes(reference));
  if (!got || !want) return ::testing::AssertionFailure() << "cannot decode " << reference;

  const fs::path out = fs::path(LUMORA_GOLDEN_OUT);
  const fs::path actualFile = out / (name + ".actual.png");
  const fs::path diffFile = out / (name + ".diff.png");
  if (got->width() != want->width() || got->height() != want->height()) {
    writeBytes(actualFile, pngBytes(*got));
    return ::testing::AssertionFailure()
           << name << ": the picture is " << got->width() << " x " << got->height()
           << ", the reference " << want->width() << " x " << want->height()
           << "; actual image: " << actualFile;
  }

  std::vector<uint32_t> diff(static_cast<size_t>(got->width()) * got->height());
  int differing = 0, largest = 0;
  for (int y = 0; y < got->height(); ++y)
    for (int x = 0; x < got->width(); ++x) {
      const uint32_t a = got->row(y)[x], b = want->row(y)[x];
      int d = 0;
      for (int shift = 0; shift < 32; shift += 8)
        d = std::max(
            d, std::abs(static_cast<int>(a >> shift & 0xff) - static_cast<int>(b >> shift & 0xff)));
      largest = std::max(largest, d);
      const uint32_t grey = 192 + (a >> 8 & 0xff) / 4;
      diff[static_cast<size_t>(y) * got->width() + x] =
          d > tolerance ? 0xffff0000u : 0xff000000u | grey << 16 | grey << 8 | grey;
      if (d > tolerance) ++differing;
    }
  if (differing == 0) return ::testing::AssertionSuccess();
  writeBytes(actualFile, pngBytes(*got));
  if (auto image = host::CGImage::fromPixels(got->width(), got->height(), diff.data()))
    writeBytes(diffFile, pngBytes(*image));
  return ::testing::AssertionFailure()
         << name << ": " << differing << " pixels differ by more than " << tolerance
         << " (at most by " << largest << ")\n  actual image:     " << actualFile
         << "\n  difference image: " << diffFile << "\n  reference:        " << reference;
}

}  // namespace testing_support
