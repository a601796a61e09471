// CGImage: an immutable bitmap image, held as a cairo image surface in cairo's
// premultiplied ARGB32 format (one native-endian 32-bit word per pixel, alpha in the
// top byte), rows from the top of the image down.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "host/foundation/values.h"
#include "host/quartz/cairo_handles.h"

namespace host {

// The largest image the host model decodes or makes: wider or taller images, or images
// of more pixels than this, are refused (128 MB of pixels).
inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 25;
bool imageSizeAllowed(int64_t width, int64_t height);

class CGImage : public NSObject {
 public:
  static inline const rt::ClassOf<CGImage> cls{"CGImage"};
  explicit CGImage(SurfacePtr surface);
  // Takes over `surface`, which must be a valid ARGB32 image surface; nil otherwise.
  static Ref<CGImage> fromSurface(SurfacePtr surface);
  // An image of premultiplied ARGB32 words, `width` per row; nil when the size is not
  // allowed (see above) or empty.
  static Ref<CGImage> fromPixels(int width, int height, const uint32_t* argb);

  int width() const { return width_; }
  int height() const { return height_; }
  size_t stride() const { return stride_; }
  // The first byte of the top row; each row holds `width` ARGB32 words.
  const uint8_t* data() const { return data_; }
  const uint32_t* row(int y) const {
    return reinterpret_cast<const uint32_t*>(data_ + stride_ * static_cast<size_t>(y));
  }
  // The surface, for drawing with cairo; callers must not change it.
  cairo_surface_t* surface() const { return surface_.get(); }
  bool equals(const rt::Object& other) const override;

 private:
  SurfacePtr surface_;
  int width_ = 0, height_ = 0;
  size_t stride_ = 0;
  const uint8_t* data_ = nullptr;
};

// Nil-safe size readers: 0 for nil or for an object that is not a CGImage.
size_t CGImageGetWidth(id image);
size_t CGImageGetHeight(id image);
// The CGImage behind `object`, or null when it is nil or another kind of object.
const CGImage* asCGImage(id object);

// Registers the CGImage class. Part of booting the host.
void defineCGImage(ClassList& list);

}  // namespace host
