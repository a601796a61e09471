#include "host/quartz/cgimage.h"

#include <cstring>

namespace host {

bool imageSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

CGImage::CGImage(SurfacePtr surface) : surface_(std::move(surface)) {
  cairo_surface_flush(surface_.get());
  width_ = cairo_image_surface_get_width(surface_.get());
  height_ = cairo_image_surface_get_height(surface_.get());
  stride_ = static_cast<size_t>(cairo_image_surface_get_stride(surface_.get()));
  data_ = cairo_image_surface_get_data(surface_.get());
}

Ref<CGImage> CGImage::fromSurface(SurfacePtr surface) {
  if (!surface || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_get_type(surface.get()) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(surface.get()) != CAIRO_FORMAT_ARGB32 ||
      !imageSizeAllowed(cairo_image_surface_get_width(surface.get()),
                        cairo_image_surface_get_height(surface.get())))
    return nullptr;
  return CGImage::cls.make(std::move(surface));
}

Ref<CGImage> CGImage::fromPixels(int width, int height, const uint32_t* argb) {
  if (!imageSizeAllowed(width, height)) return nullptr;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  uint8_t* data = cairo_image_surface_get_data(surface.get());
  const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(surface.get()));
  for (int y = 0; y < height; ++y)
    std::memcpy(data + stride * static_cast<size_t>(y), argb + static_cast<size_t>(width) * y,
                sizeof(uint32_t) * static_cast<size_t>(width));
  cairo_surface_mark_dirty(surface.get());
  return fromSurface(std::move(surface));
}

bool CGImage::equals(const rt::Object& other) const {
  const CGImage* image = asCGImage(const_cast<rt::Object*>(&other));
  if (!image || image->width_ != width_ || image->height_ != height_) return false;
  for (int y = 0; y < height_; ++y)
    if (std::memcmp(row(y), image->row(y), sizeof(uint32_t) * static_cast<size_t>(width_)))
      return false;
  return true;
}

const CGImage* asCGImage(id object) {
  return CGImage::cls.cast(object);
}

size_t CGImageGetWidth(id image) {
  const CGImage* i = asCGImage(image);
  return i ? static_cast<size_t>(i->width()) : 0;
}

size_t CGImageGetHeight(id image) {
  const CGImage* i = asCGImage(image);
  return i ? static_cast<size_t>(i->height()) : 0;
}

// An image has no empty state, so `alloc` answers nil.
void defineCGImage(ClassList& list) {
  list.define<CGImage>(NSObject::cls, []() -> Ref<> { return nullptr; });
}

}  // namespace host
