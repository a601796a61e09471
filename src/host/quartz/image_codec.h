// Decoding PNG and JPEG data into images, and encoding images as PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/quartz/cgimage.h"

namespace host {

// The largest image file read. An uncompressed PNG of the largest image the decoders
// accept (kMaxImagePixels at 4 bytes each, 128 MiB) fits with room to spare; reading a
// larger file could only end in a refusal after filling memory.
inline constexpr uint64_t kMaxImageFileBytes = uint64_t{256} << 20;

// A decoded image, or why there is none (for messages to people).
struct DecodedImage {
  Ref<CGImage> image;
  std::string error;
};

// The width and height PNG or JPEG data states in its header, read without decoding the
// pixels; nothing for other data or a header that cannot be read.
struct ImageSize {
  uint32_t width = 0, height = 0;
};
std::optional<ImageSize> imageSize(std::span<const uint8_t> bytes);
std::optional<ImageSize> jpegSize(std::span<const uint8_t> bytes);

// Decodes PNG (through cairo) or JPEG (through libjpeg) data, told apart by their
// signatures. Anything else, damaged data, and images larger than `imageSizeAllowed`
// permits give no image and a reason; nothing is printed.
DecodedImage decodeImage(std::span<const uint8_t> bytes);
DecodedImage decodePNG(std::span<const uint8_t> bytes);
DecodedImage decodeJPEG(std::span<const uint8_t> bytes);

// Encodes the image as an 8-bit RGBA PNG (alpha not premultiplied), by default the
// fastest way, since the colour analysis forms its cache keys from it: no filter and
// stored (uncompressed) deflate blocks, so the file is about 4 x width x height bytes.
// The same pixels always give the same bytes. Empty on failure. `PngSize::Small`
// compresses instead (libpng at zlib's fastest level over the "up" filter), for pictures
// written to files, such as previews.
enum class PngSize { Fastest, Small };
std::vector<uint8_t> encodePNG(const CGImage& image, PngSize size = PngSize::Fastest);

}  // namespace host
