// Image data: `imageWithData:` answers an image or nil for any bytes, never faults, and
// what it answers survives the analysis and a PNG round trip unchanged. The first byte
// picks how the rest is used: as the data itself, or as damage done to a small valid
// PNG or JPEG made from it (the codecs are not instrumented, so raw bytes alone would
// seldom get past their signatures).
#include <cstdio>  // before jpeglib.h, which needs FILE

#include <cairo.h>
#include <jpeglib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "colour/image_colour.h"
#include "host/foundation/values.h"
#include "host/host.h"
#include "host/quartz/cgcolor.h"
#include "host/quartz/image_codec.h"
#include "host/uikit/image.h"

namespace {

void require(bool condition) {
  if (!condition) __builtin_trap();
}

// A small image whose size and pixels come from the bytes.
rt::Ref<host::CGImage> imageFrom(const uint8_t* data, size_t size) {
  const int width = 1 + (size > 0 ? data[0] % 64 : 0), height = 1 + (size > 1 ? data[1] % 64 : 0);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint8_t a = size ? data[(4 * i) % size] : 0;
    const auto channel = [&](size_t k) {
      const uint8_t v = size ? data[(4 * i + k) % size] : 0;
      return a ? static_cast<uint32_t>(v % (a + 1u)) : 0u;  // premultiplied: at most alpha
    };
    pixels[i] = uint32_t{a} << 24 | channel(1) << 16 | channel(2) << 8 | channel(3);
  }
  return host::CGImage::fromPixels(width, height, pixels.data());
}

std::vector<uint8_t> jpegFrom(const host::CGImage& image) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&cinfo, &buffer, &length);
  cinfo.image_width = static_cast<JDIMENSION>(image.width());
  cinfo.image_height = static_cast<JDIMENSION>(image.height());
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRA;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 60, TRUE);
  if (image.width() % 2) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        reinterpret_cast<const uint8_t*>(image.row(static_cast<int>(cinfo.next_scanline))));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + length);
  jpeg_destroy_compress(&cinfo);
  free(buffer);
  return out;
}

// Damage: each following pair of bytes sets the byte at an offset to a value.
void damage(std::vector<uint8_t>& bytes, const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 2 < size && !bytes.empty(); i += 3)
    bytes[(size_t{data[i]} << 8 | data[i + 1]) % bytes.size()] = data[i + 2];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool booted = (host::boot({}), true);
  (void)booted;
  if (size == 0) return 0;
  std::vector<uint8_t> bytes;
  const uint8_t mode = data[0] % 3;
  ++data, --size;
  if (mode == 0) {
    bytes.assign(data, data + size);
  } else {
    const size_t half = size / 2;
    rt::Ref<host::CGImage> source = imageFrom(data, half);
    bytes = mode == 1 ? host::encodePNG(*source) : jpegFrom(*source);
    damage(bytes, data + half, size - half);
  }

  rt::Ref<> image = rt::send(rt::objc_getClass("UIImage"), sel::imageWithData_scale,
                             host::NSData::make(bytes), 2.0);
  if (!image) return 0;
  const rt::CGSize points = rt::send(image, sel::size);
  require(points.width > 0 && points.height > 0);

  const auto components = [](rt::Ref<> colour) {
    rt::Ref<> cg = rt::send(colour, sel::CGColor);
    const double* c = host::CGColorGetComponents(cg.get());
    return std::array<double, 4>{c[0], c[1], c[2], c[3]};
  };
  const auto dominant = components(lumora::lumoraDominantColor(image.get()));
  require(dominant[3] == 0 || dominant[3] == 1);
  for (double v : components(lumora::lumoraAverageColor(image.get()))) require(v >= 0 && v <= 1);
  for (double v : dominant) require(v >= 0 && v <= 1);

  // The PNG encoding reads back as the same pixels.
  rt::Ref<> png = host::UIImagePNGRepresentation(image.get());
  require(static_cast<bool>(png));
  host::DecodedImage again =
      host::decodeImage(static_cast<const host::NSData*>(png.get())->bytes());
  require(again.image && again.image->isEqual(rt::send(image, sel::CGImage).get()));
  return 0;
}
