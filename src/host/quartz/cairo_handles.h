// RAII for cairo objects and its drawing state. cairo's first error sticks and every
// later call on the context returns early, so a drawing checks the status once, at the
// end (`finish`).
#pragma once

#include <cairo.h>

#include <memory>

namespace host {

// Owns one cairo surface reference.
struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Owns one cairo context reference.
struct ContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// A context drawing on surface.
inline ContextPtr makeContext(cairo_surface_t* surface) {
  return ContextPtr(cairo_create(surface));
}

// Saves the drawing state and restores it when it goes, so a clip, a mask or a
// transform never leaks into the next drawing.
class CairoSave {
 public:
  explicit CairoSave(cairo_t* context) : context_(context) { cairo_save(context_); }
  ~CairoSave() { cairo_restore(context_); }
  CairoSave(const CairoSave&) = delete;
  CairoSave& operator=(const CairoSave&) = delete;

 private:
  cairo_t* context_;
};

// The one status check of a drawing: YES when no call on the context failed.
inline bool finish(cairo_t* context) {
  return cairo_status(context) == CAIRO_STATUS_SUCCESS;
}

}  // namespace host
