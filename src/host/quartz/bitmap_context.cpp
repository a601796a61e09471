#include "host/quartz/bitmap_context.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/quartz/scaler.h"

namespace host {

struct CGColorSpace {};

struct CGContext {
  uint8_t* data;
  int width, height;
  size_t bytesPerRow;
  // For each byte of a pixel in memory, the shift of its channel in an ARGB32 word.
  int shifts[4];
  std::vector<uint8_t> owned;  // the buffer, when the caller passed none
};

namespace {

uint32_t loadPixel(const CGContext& c, const uint8_t* p) {
  return uint32_t{p[0]} << c.shifts[0] | uint32_t{p[1]} << c.shifts[1] |
         uint32_t{p[2]} << c.shifts[2] | uint32_t{p[3]} << c.shifts[3];
}

void storePixel(const CGContext& c, uint8_t* p, uint32_t argb) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(argb >> c.shifts[k]);
}

// For each byte of a bitmap pixel, the byte of a cairo ARGB32 pixel (a native-endian
// word) that holds its channel.
void byteOrder(const CGContext& c, uint8_t order[4]) {
  for (int k = 0; k < 4; ++k)
    order[k] = static_cast<uint8_t>(
        std::endian::native == std::endian::little ? c.shifts[k] / 8 : 3 - c.shifts[k] / 8);
}

// YES when the w x h pixels at column x, row top are all zero (nothing drawn yet).
bool isClear(const CGContext& c, int x, int top, int w, int h) {
  // All zero: the first byte, and each byte equal to the one before (the library's
  // comparison is many times faster than a loop over bytes).
  const auto zero = [](const uint8_t* p, size_t n) {
    return !p[0] && !std::memcmp(p, p + 1, n - 1);
  };
  const size_t rowBytes = 4 * static_cast<size_t>(w);
  const uint8_t* first =
      c.data + c.bytesPerRow * static_cast<size_t>(top) + 4 * static_cast<size_t>(x);
  if (rowBytes == c.bytesPerRow) return zero(first, rowBytes * static_cast<size_t>(h));  // one span
  for (int j = 0; j < h; ++j)
    if (!zero(first + c.bytesPerRow * static_cast<size_t>(j), rowBytes)) return false;
  return true;
}

// x * y / 255, rounded, for bytes.
uint32_t multiply255(uint32_t x, uint32_t y) {
  const uint32_t t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

// Composites premultiplied pixels already in the bitmap's byte order (w per row) over
// the bitmap at column x, row top: each byte, alpha included, is s + d x (1 - alpha).
void composite(CGContext& c, const uint8_t* pixels, int x, int top, int w, int h) {
  int alpha = 0;
  for (int k = 0; k < 4; ++k)
    if (c.shifts[k] == 24) alpha = k;
  for (int j = 0; j < h; ++j) {
    uint8_t* row =
        c.data + c.bytesPerRow * static_cast<size_t>(top + j) + 4 * static_cast<size_t>(x);
    const uint8_t* in = pixels + 4 * static_cast<size_t>(w) * j;
    for (int i = 0; i < w; ++i, row += 4, in += 4) {
      const uint32_t inverse = 255 - in[alpha];
      for (int k = 0; k < 4; ++k)
        row[k] = static_cast<uint8_t>(in[k] + multiply255(row[k], inverse));
    }
  }
}

bool isWhole(double v) {
  return std::isfinite(v) && v == std::floor(v);
}

// Any other rectangle: cairo draws the image over a copy of the bitmap, which is then
// copied back.
void drawWithCairo(CGContext& c, rt::CGRect rect, const CGImage& image) {
  SurfacePtr canvas(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, c.width, c.height));
  if (cairo_surface_status(canvas.get()) != CAIRO_STATUS_SUCCESS) return;
  uint8_t* data = cairo_image_surface_get_data(canvas.get());
  const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(canvas.get()));
  for (int y = 0; y < c.height; ++y) {
    auto* out = reinterpret_cast<uint32_t*>(data + stride * static_cast<size_t>(y));
    const uint8_t* in = c.data + c.bytesPerRow * static_cast<size_t>(y);
    for (int x = 0; x < c.width; ++x) out[x] = loadPixel(c, in + 4 * x);
  }
  cairo_surface_mark_dirty(canvas.get());
  ContextPtr context = makeContext(canvas.get());
  cairo_t* cr = context.get();
  cairo_translate(cr, rect.origin.x, c.height - rect.origin.y - rect.size.height);
  cairo_scale(cr, rect.size.width / image.width(), rect.size.height / image.height());
  cairo_set_source_surface(cr, image.surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_rectangle(cr, 0, 0, image.width(), image.height());
  cairo_fill(cr);
  if (!finish(cr)) return;
  cairo_surface_flush(canvas.get());
  for (int y = 0; y < c.height; ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(data + stride * static_cast<size_t>(y));
    uint8_t* out = c.data + c.bytesPerRow * static_cast<size_t>(y);
    for (int x = 0; x < c.width; ++x) storePixel(c, out + 4 * x, in[x]);
  }
}

}  // namespace

CGColorSpaceRef CGColorSpaceCreateDeviceRGB() {
  return new CGColorSpace;
}
void CGColorSpaceRelease(CGColorSpaceRef space) {
  delete space;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo) {
  if (!space || bitsPerComponent != 8 || width > static_cast<size_t>(kMaxImageSide) ||
      height > static_cast<size_t>(kMaxImageSide) ||
      !imageSizeAllowed(static_cast<int64_t>(width), static_cast<int64_t>(height)))
    return nullptr;
  if (bytesPerRow == 0) bytesPerRow = 4 * width;
  if (bytesPerRow < 4 * width) return nullptr;
  const uint32_t alpha = bitmapInfo & kCGBitmapAlphaInfoMask;
  const uint32_t order = bitmapInfo & kCGBitmapByteOrderMask;
  if ((alpha != kCGImageAlphaPremultipliedLast && alpha != kCGImageAlphaPremultipliedFirst) ||
      (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big &&
       order != kCGBitmapByteOrder32Little) ||
      (bitmapInfo & ~(kCGBitmapAlphaInfoMask | kCGBitmapByteOrderMask)) != 0)
    return nullptr;
  // Channel order in memory in big-endian order; little-endian reverses it.
  int shifts[4];
  if (alpha == kCGImageAlphaPremultipliedLast)
    shifts[0] = 16, shifts[1] = 8, shifts[2] = 0, shifts[3] = 24;  // R G B A
  else
    shifts[0] = 24, shifts[1] = 16, shifts[2] = 8, shifts[3] = 0;  // A R G B
  if (order == kCGBitmapByteOrder32Little)
    std::swap(shifts[0], shifts[3]), std::swap(shifts[1], shifts[2]);
  auto* context = new CGContext{static_cast<uint8_t*>(data),
                                static_cast<int>(width),
                                static_cast<int>(height),
                                bytesPerRow,
                                {shifts[0], shifts[1], shifts[2], shifts[3]},
                                {}};
  if (!context->data) {
    context->owned.assign(bytesPerRow * height, 0);
    context->data = context->owned.data();
  }
  return context;
}

void CGContextRelease(CGContextRef context) {
  delete context;
}
void* CGBitmapContextGetData(CGContextRef context) {
  return context ? context->data : nullptr;
}
size_t CGBitmapContextGetWidth(CGContextRef context) {
  return context ? static_cast<size_t>(context->width) : 0;
}
size_t CGBitmapContextGetHeight(CGContextRef context) {
  return context ? static_cast<size_t>(context->height) : 0;
}
size_t CGBitmapContextGetBytesPerRow(CGContextRef context) {
  return context ? context->bytesPerRow : 0;
}

void CGContextDrawImage(CGContextRef context, rt::CGRect rect, id imageObject) {
  const CGImage* image = asCGImage(imageObject);
  if (!context || !image) return;
  const rt::CGFloat x = rect.origin.x, w = rect.size.width, h = rect.size.height;
  const rt::CGFloat top = context->height - rect.origin.y - h;  // rows run top down
  if (!(w > 0 && h > 0) || !std::isfinite(x) || !std::isfinite(top)) return;
  if (isWhole(x) && isWhole(top) && isWhole(w) && isWhole(h) && x >= 0 && top >= 0 &&
      x + w <= context->width && top + h <= context->height) {
    const int left = static_cast<int>(x), row = static_cast<int>(top);
    const int dw = static_cast<int>(w), dh = static_cast<int>(h);
    uint8_t order[4];
    byteOrder(*context, order);
    if (isClear(*context, left, row, dw, dh)) {  // over nothing: draw in place
      scaleAreaAverage(image->data(), image->width(), image->height(), image->stride(),
                       context->data + context->bytesPerRow * static_cast<size_t>(row) +
                           4 * static_cast<size_t>(left),
                       dw, dh, context->bytesPerRow, order);
      return;
    }
    std::vector<uint8_t> scaled(4 * static_cast<size_t>(dw) * static_cast<size_t>(dh));
    scaleAreaAverage(image->data(), image->width(), image->height(), image->stride(), scaled.data(),
                     dw, dh, 4 * static_cast<size_t>(dw), order);
    composite(*context, scaled.data(), left, row, dw, dh);
    return;
  }
  drawWithCairo(*context, rect, *image);
}

}  // namespace host
