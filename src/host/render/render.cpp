#include "host/render/render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "host/quartz/cairo_handles.h"
#include "host/render/backdrop.h"
#include "host/render/content.h"
#include "host/render/shadow.h"
#include "host/render/shape.h"
#include "host/uikit/image_view.h"

namespace host {
namespace {

using render::PatternPtr;

void drawLayer(cairo_t* cr, const CALayer& layer, RenderNotes* notes);

// The background colour inside the layer's shape.
void drawBackground(cairo_t* cr, const CALayer& layer) {
  // A view's own colour, when its layer still shows it, resolves by the view's style,
  // as the platform re-resolves a dynamic colour for the view's traits.
  Ref<> set = layer.backgroundColor();
  const Ref<> delegate = layer.delegate();
  if (const UIView* view = UIView::cls.cast(delegate.get())) set = view->backgroundColor();
  const auto colour = render::colourComponents(set.get(), render::drawsDark(layer));
  if (colour[3] <= 0) return;
  render::addLayerShape(cr, layer);
  render::setSource(cr, colour);
  cairo_fill(cr);
}

// The border: a stroke of its width inset by half of it, so it lies inside the bounds,
// along the shape with the corner radius reduced by the inset.
void drawBorder(cairo_t* cr, const CALayer& layer) {
  const double width = layer.borderWidth();
  // No colour is the host's default, opaque black, until one is set: a colour set to nil
  // draws nothing.
  const Ref<> borderColour = layer.borderColor();
  if (!borderColour && layer.borderColorSet()) return;
  const auto colour = borderColour
                          ? render::colourComponents(borderColour.get(), render::drawsDark(layer))
                          : std::array<double, 4>{0, 0, 0, 1};
  const CGRect b = layer.bounds();
  if (width <= 0 || colour[3] <= 0 || b.size.width <= 0 || b.size.height <= 0) return;
  render::setSource(cr, colour);
  if (2 * width >= std::min(b.size.width, b.size.height)) {
    // A border as wide as half the layer covers all of it.
    render::addLayerShape(cr, layer);
    cairo_fill(cr);
    return;
  }
  const double inset = width / 2;
  const CGRect inner{{b.origin.x + inset, b.origin.y + inset},
                     {b.size.width - width, b.size.height - width}};
  render::addRoundedRect(cr, inner, std::max(0.0, layer.cornerRadius() - inset),
                         layer.continuousCorners(), static_cast<unsigned>(layer.maskedCorners()));
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

// Steps 3 to 6: background, content, sublayers (clipped when masksToBounds), border.
void drawBody(cairo_t* cr, const CALayer& layer, RenderNotes* notes) {
  drawBackground(cr, layer);
  {
    CairoSave save(cr);
    if (layer.masksToBounds()) {
      render::addLayerShape(cr, layer);
      cairo_clip(cr);
    }
    render::drawContent(cr, layer);
    for (const Ref<CALayer>& sublayer : layer.sublayerList()) drawLayer(cr, *sublayer, notes);
  }
  drawBorder(cr, layer);
}

// The layer in its own coordinates (its bounds), in Core Animation's order.
void drawInLayerSpace(cairo_t* cr, const CALayer& layer, RenderNotes* notes) {
  const double opacity = layer.opacity();
  const bool group = opacity < 1;
  if (group) cairo_push_group(cr);
  // A layer that clips to its bounds clips its shadow away too.
  if (!layer.masksToBounds()) render::drawShadow(cr, layer);
  const CALayer* mask = CALayer::cls.cast(layer.mask().get());
  if (mask) {
    cairo_push_group(cr);
    drawBody(cr, layer, notes);
    PatternPtr body(cairo_pop_group(cr));
    // The mask draws like any layer, in this layer's coordinates; its alpha is what
    // shows of the body.
    cairo_push_group(cr);
    drawLayer(cr, *mask, notes);
    PatternPtr alpha(cairo_pop_group(cr));
    cairo_set_source(cr, body.get());
    cairo_mask(cr, alpha.get());
  } else {
    drawBody(cr, layer, notes);
  }
  if (group) {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, opacity);
  }
}

// "a UIImageView in NCNotificationShortLookView, frame [20, -1073741789, 2147483648,
// 2147483648] points", for a note.
std::string describe(const CALayer& layer, CGRect f) {
  const Ref<> delegate = layer.delegate();
  const UIView* view = UIView::cls.cast(delegate.get());
  std::string text = "a " + std::string(rt::class_getName(view ? view->isa() : layer.isa()));
  if (const UIView* parent = view ? view->superviewPointer() : nullptr)
    text += " in " + std::string(rt::class_getName(parent->isa()));
  char numbers[160];
  std::snprintf(numbers, sizeof numbers, ", frame [%.15g, %.15g, %.15g, %.15g] points", f.origin.x,
                f.origin.y, f.size.width, f.size.height);
  return text + numbers;
}

// The layer in its superlayer's coordinates: moved to its frame. A layer reaching beyond
// kReachPixels is shrunk into the part of the reach it covers (its content, sublayers
// and all), or left out when none of it is within.
void drawLayer(cairo_t* cr, const CALayer& layer, RenderNotes* notes) {
  if (layer.isHidden() || !(layer.opacity() > 0)) return;
  CairoSave save(cr);
  const CGRect f = layer.frame(), b = layer.bounds();
  double x0 = f.origin.x, y0 = f.origin.y;
  double x1 = x0 + f.size.width, y1 = y0 + f.size.height;
  cairo_user_to_device(cr, &x0, &y0);
  cairo_user_to_device(cr, &x1, &y1);
  auto within = [](double v) { return std::abs(v) <= kReachPixels; };
  if (within(x0) && within(y0) && within(x1) && within(y1)) {
    cairo_translate(cr, f.origin.x - b.origin.x, f.origin.y - b.origin.y);
    drawInLayerSpace(cr, layer, notes);
    return;
  }
  auto clamp = [](double v) { return std::clamp(v, -kReachPixels, kReachPixels); };
  const bool shown = std::isfinite(x0 + y0 + x1 + y1) && f.size.width > 0 && f.size.height > 0 &&
                     clamp(x0) != clamp(x1) && clamp(y0) != clamp(y1);
  if (notes)
    notes->push_back(describe(layer, f) + ", reaches beyond what a picture can show; " +
                     (shown ? "drawn shrunk to the part within reach" : "left out"));
  if (!shown) return;
  x0 = clamp(x0), y0 = clamp(y0), x1 = clamp(x1), y1 = clamp(y1);
  cairo_device_to_user(cr, &x0, &y0);
  cairo_device_to_user(cr, &x1, &y1);
  cairo_translate(cr, x0, y0);
  cairo_scale(cr, (x1 - x0) / f.size.width, (y1 - y0) / f.size.height);
  cairo_translate(cr, -b.origin.x, -b.origin.y);
  drawInLayerSpace(cr, layer, notes);
}

// A surface of the size in points at the scale, or why there is none.
RenderedImage renderPicture(CGSize points, double scale,
                            const std::function<void(cairo_t*, RenderNotes*)>& draw) {
  if (!(scale > 0) || !std::isfinite(scale)) return {nullptr, "the scale must be positive", {}};
  const double w = std::ceil(points.width * scale), h = std::ceil(points.height * scale);
  if (!(w >= 1 && h >= 1 && w <= kMaxImageSide && h <= kMaxImageSide) ||
      !imageSizeAllowed(static_cast<int64_t>(w), static_cast<int64_t>(h)))
    return {nullptr,
            "the picture would be " + std::to_string(static_cast<long long>(w)) + " x " +
                std::to_string(static_cast<long long>(h)) + " pixels, which is empty or too large",
            {}};
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h)));
  RenderNotes notes;
  {
    ContextPtr cr = makeContext(surface.get());
    cairo_scale(cr.get(), scale, scale);
    draw(cr.get(), &notes);
    if (!finish(cr.get()))
      return {nullptr, cairo_status_to_string(cairo_status(cr.get())), std::move(notes)};
  }
  cairo_surface_flush(surface.get());
  Ref<CGImage> image = CGImage::fromSurface(std::move(surface));
  if (!image) return {nullptr, "cairo could not make the picture", std::move(notes)};
  return {image, {}, std::move(notes)};
}

}  // namespace

void drawView(cairo_t* cr, const UIView& view, RenderNotes* notes) {
  const CALayer& layer = view.caLayer();
  if (layer.isHidden() || !(layer.opacity() > 0)) return;
  CairoSave save(cr);
  const CGRect b = layer.bounds();
  cairo_translate(cr, -b.origin.x, -b.origin.y);
  drawInLayerSpace(cr, layer, notes);
}

RenderedImage renderView(const UIView& view, double scale) {
  return renderPicture(view.bounds().size, scale,
                       [&](cairo_t* cr, RenderNotes* notes) { drawView(cr, view, notes); });
}

void paintWallpaper(cairo_t* cr, const Wallpaper& wallpaper, CGSize size) {
  CairoSave save(cr);
  cairo_rectangle(cr, 0, 0, size.width, size.height);
  cairo_clip(cr);
  if (const CGImage* picture = wallpaper.picture.get();
      picture && picture->width() > 0 && picture->height() > 0) {
    const CGSize pixels{static_cast<double>(picture->width()),
                        static_cast<double>(picture->height())};
    const CGRect to = render::imageRect({{0, 0}, size}, pixels, UIViewContentModeScaleAspectFill);
    cairo_translate(cr, to.origin.x, to.origin.y);
    cairo_scale(cr, to.size.width / pixels.width, to.size.height / pixels.height);
    cairo_set_source_surface(cr, picture->surface(), 0, 0);
    cairo_paint(cr);
    return;
  }
  PatternPtr gradient(cairo_pattern_create_linear(0, 0, 0, size.height));
  const auto& t = wallpaper.top;
  const auto& u = wallpaper.bottom;
  cairo_pattern_add_color_stop_rgba(gradient.get(), 0, t[0], t[1], t[2], t[3]);
  cairo_pattern_add_color_stop_rgba(gradient.get(), 1, u[0], u[1], u[2], u[3]);
  cairo_set_source(cr, gradient.get());
  cairo_paint(cr);
}

RenderedImage renderOnWallpaper(const UIView& view, double scale, const Wallpaper& wallpaper,
                                double margin) {
  const CGSize size = view.bounds().size;
  const CGSize whole{size.width + 2 * margin, size.height + 2 * margin};
  return renderPicture(whole, scale, [&](cairo_t* cr, RenderNotes* notes) {
    auto paint = [&](cairo_t* c) { paintWallpaper(c, wallpaper, whole); };
    paint(cr);
    render::BackdropScope backdrop(cr, {{0, 0}, whole}, paint);
    cairo_translate(cr, margin, margin);
    drawView(cr, view, notes);
  });
}

}  // namespace host
