// PNG decoding through cairo, and a fast PNG encoder on libpng.
#include <libdeflate.h>
#include <png.h>

#include <array>
#include <bit>
#include <csetjmp>
#include <cstring>

#include "host/foundation/values.h"
#include "host/quartz/image_codec.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace host {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

struct Reader {
  std::span<const uint8_t> bytes;
  size_t offset = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length) {
  auto* reader = static_cast<Reader*>(closure);
  if (reader->bytes.size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, reader->bytes.data() + reader->offset, length);
  reader->offset += length;
  return CAIRO_STATUS_SUCCESS;
}

// cairo reads images without alpha as RGB24 (top byte unused); the image model keeps
// ARGB32 only, so such surfaces are painted onto an opaque ARGB32 one.
SurfacePtr toARGB32(SurfacePtr surface) {
  if (cairo_image_surface_get_format(surface.get()) == CAIRO_FORMAT_ARGB32) return surface;
  const int width = cairo_image_surface_get_width(surface.get());
  const int height = cairo_image_surface_get_height(surface.get());
  SurfacePtr argb(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  ContextPtr context = makeContext(argb.get());
  cairo_set_operator(context.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(context.get(), surface.get(), 0, 0);
  cairo_paint(context.get());
  if (!finish(context.get())) return nullptr;
  return argb;
}

// Straight (not premultiplied) value of colour byte c at alpha a.
struct Unpremultiply {
  std::array<std::array<uint8_t, 256>, 256> table{};
  Unpremultiply() {
    for (unsigned a = 1; a < 256; ++a)
      for (unsigned c = 0; c < 256; ++c) {
        const unsigned v = (c * 255 + a / 2) / a;
        table[a][c] = static_cast<uint8_t>(v > 255 ? 255 : v);
      }
  }
};

struct Writer {
  std::vector<uint8_t>* out;
};

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* writer = static_cast<Writer*>(png_get_io_ptr(png));
  try {
    writer->out->insert(writer->out->end(), data, data + length);
  } catch (...) {
    png_error(png, "out of memory");
  }
}

void flushBytes(png_structp) {}

void pngError(png_structp png, png_const_charp) {
  std::longjmp(*static_cast<std::jmp_buf*>(png_get_error_ptr(png)), 1);
}
void pngWarning(png_structp, png_const_charp) {}

// The straight (not premultiplied) RGBA bytes of `n` pixels.
void straightPixels(const uint32_t* pixels, int n, uint8_t* o) {
  static const Unpremultiply unpremultiply;
  for (int x = 0; x < n; ++x, o += 4) {
    const uint32_t p = pixels[x];
    const unsigned a = p >> 24;
    if (a == 255 && std::endian::native == std::endian::little) {
      // Opaque: the bytes as they stand, red and blue swapped (one store).
      const uint32_t rgba = (p & 0xff00ff00u) | (p >> 16 & 0xffu) | (p & 0xffu) << 16;
      std::memcpy(o, &rgba, 4);
      continue;
    }
    const auto& t = unpremultiply.table[a];
    o[0] = t[(p >> 16) & 0xff];
    o[1] = t[(p >> 8) & 0xff];
    o[2] = t[p & 0xff];
    o[3] = static_cast<uint8_t>(a);
  }
}

#if defined(__x86_64__)
// The same for a row, eight pixels at a time on processors with AVX2 where all eight are
// opaque (red and blue swapped) or all clear (zeros), as most of an icon is. False,
// doing nothing, without AVX2.
__attribute__((target("avx2"))) bool straightRowAVX2(const uint32_t* pixels, int width,
                                                     uint8_t* out) {
  static const bool available = __builtin_cpu_supports("avx2");
  if (!available) return false;
  const __m256i swap = _mm256_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15, 2, 1,
                                        0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xff000000u));
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + x));
    const __m256i a = _mm256_and_si256(v, alpha);
    uint8_t* o = out + 4 * static_cast<size_t>(x);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alpha)) == -1)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), _mm256_shuffle_epi8(v, swap));
    else if (_mm256_testz_si256(a, a))  // alpha 0: the premultiplied colours are 0 too
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), _mm256_setzero_si256());
    else
      straightPixels(pixels + x, 8, o);
  }
  straightPixels(pixels + x, width - x, out + 4 * static_cast<size_t>(x));
  return true;
}
#else
bool straightRowAVX2(const uint32_t*, int, uint8_t*) {
  return false;
}
#endif

// Row y of the image, straight, into `out`.
void straightRow(const CGImage& image, int y, uint8_t* out) {
  if (!straightRowAVX2(image.row(y), image.width(), out))
    straightPixels(image.row(y), image.width(), out);
}

// The image's straight rows, one after another, each after its filter byte (0: none).
void filteredRows(const CGImage& image, std::vector<uint8_t>& rows) {
  const size_t line = 4 * static_cast<size_t>(image.width()) + 1;
  rows.resize(line * static_cast<size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    uint8_t* row = rows.data() + line * static_cast<size_t>(y);
    row[0] = 0;
    straightRow(image, y, row + 1);
  }
}

// The fastest PNG: no filter and stored (uncompressed) deflate blocks in one IDAT chunk.
// zlib's fastest compressing level costs two to twenty times as much (0.2 to 2 ms for an
// icon of 180 pixels, most on noisy ones). Written here rather than through libpng, as
// with stored blocks most of libpng's time went to zlib's Adler-32 and CRC-32
// (67 us of 95 for an icon of 180 pixels); libdeflate's take 11 us. Empty when the
// image does not fit one chunk.
std::vector<uint8_t> storedPNG(const CGImage& image) {
  thread_local std::vector<uint8_t> rows;  // kept for the next image, as icons come often
  filteredRows(image, rows);
  constexpr size_t kBlock = 65535;  // a stored block's largest length
  const size_t blocks = (rows.size() + kBlock - 1) / kBlock;
  const size_t stream = 2 + rows.size() + 5 * blocks + 4;  // header, blocks, Adler-32
  if (stream > 0x7fffffff) return {};
  std::vector<uint8_t> out = NSData::reusableBuffer(8 + 25 + 12 + stream + 12);
  const auto put = [&](const void* bytes, size_t n) {
    out.insert(out.end(), static_cast<const uint8_t*>(bytes),
               static_cast<const uint8_t*>(bytes) + n);
  };
  const auto big32 = [&](uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    put(b, 4);
  };
  // A chunk's length and type, then (once its data is written) its CRC over both.
  size_t start = 0;
  const auto begin = [&](const char* type, size_t length) {
    big32(static_cast<uint32_t>(length));
    start = out.size();
    put(type, 4);
  };
  const auto end = [&] { big32(libdeflate_crc32(0, out.data() + start, out.size() - start)); };
  put(kSignature, 8);
  begin("IHDR", 13);
  big32(static_cast<uint32_t>(image.width())), big32(static_cast<uint32_t>(image.height()));
  const uint8_t format[5] = {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter, no interlace
  put(format, 5);
  end();
  begin("IDAT", stream);
  const uint8_t zlibHeader[2] = {0x78, 0x01};  // deflate, 32 KB window, no dictionary
  put(zlibHeader, 2);
  for (size_t at = 0; at < rows.size(); at += kBlock) {
    const size_t n = std::min(kBlock, rows.size() - at);
    const uint8_t header[5] = {static_cast<uint8_t>(at + n == rows.size()),  // the last
                               static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                               static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)};
    put(header, 5);
    put(rows.data() + at, n);
  }
  big32(libdeflate_adler32(1, rows.data(), rows.size()));
  end();
  begin("IEND", 0);
  end();
  return out;
}

// Writes the image into `out` compressed for files; false on failure. Only plain locals
// live across setjmp.
bool writePNG(const CGImage& image, std::vector<uint8_t>& out, std::vector<uint8_t>& row) {
  std::jmp_buf jump;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &jump, pngError, pngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(jump)) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  Writer writer{&out};
  png_set_write_fn(png, &writer, writeBytes, flushBytes);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
               static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // For files: zlib's fastest level over the "up" filter. Measured on a scale-2 preview
  // of three screens, libpng's default (level 6, the filter chosen per row) took 100 ms
  // to encode it in 127 KB; this takes 38 ms for 190 KB: screens are mostly smooth
  // vertical gradients, which "up" turns into runs of zeros.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < image.height(); ++y) {
    straightRow(image, y, row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

DecodedImage decodePNG(std::span<const uint8_t> bytes) {
  // The header (IHDR) must come first; its size is checked before cairo allocates.
  if (bytes.size() < 24 || std::memcmp(bytes.data(), kSignature, 8) != 0 ||
      std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
    return {nullptr, "not a PNG image"};
  const uint32_t width = bigEndian32(bytes.data() + 16), height = bigEndian32(bytes.data() + 20);
  if (!imageSizeAllowed(width, height))
    return {nullptr, "the PNG image is " + std::to_string(width) + " x " + std::to_string(height) +
                         " pixels, beyond what can be read"};
  Reader reader{bytes};
  SurfacePtr surface(cairo_image_surface_create_from_png_stream(readBytes, &reader));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return {nullptr, std::string("damaged PNG image (") +
                         cairo_status_to_string(cairo_surface_status(surface.get())) + ")"};
  surface = toARGB32(std::move(surface));
  Ref<CGImage> image = surface ? CGImage::fromSurface(std::move(surface)) : nullptr;
  if (!image) return {nullptr, "the PNG image could not be converted"};
  return {image, {}};
}

std::vector<uint8_t> encodePNG(const CGImage& image, PngSize size) {
  if (size == PngSize::Fastest) return storedPNG(image);
  std::vector<uint8_t> row(static_cast<size_t>(image.width()) * 4);
  // Room for the stored size, so the output is seldom moved as it grows.
  std::vector<uint8_t> out =
      NSData::reusableBuffer((row.size() + 1) * static_cast<size_t>(image.height()) + 256);
  if (!writePNG(image, out, row)) return {};
  return out;
}

std::optional<ImageSize> imageSize(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 24 && std::memcmp(bytes.data(), kSignature, 8) == 0 &&
      std::memcmp(bytes.data() + 12, "IHDR", 4) == 0)
    return ImageSize{bigEndian32(bytes.data() + 16), bigEndian32(bytes.data() + 20)};
  if (bytes.size() >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
    return jpegSize(bytes);
  return std::nullopt;
}

DecodedImage decodeImage(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0) return decodePNG(bytes);
  if (bytes.size() >= 3 && bytes[0] == 0xff && bytes[1] == 0xd8 && bytes[2] == 0xff)
    return decodeJPEG(bytes);
  return {nullptr, "not a PNG or JPEG image"};
}

}  // namespace host
