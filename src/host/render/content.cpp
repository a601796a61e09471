#include "host/render/content.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/quartz/cairo_handles.h"
#include "host/render/backdrop.h"
#include "host/render/shape.h"
#include "host/uikit/application.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"
#include "host/uikit/material_view.h"
#include "host/uikit/text_layout.h"

namespace host::render {
namespace {

void drawGradient(cairo_t* cr, const CAGradientLayer& layer) {
  const NSArray* colours = NSArray::cls.cast(layer.colors().get());
  if (!colours || colours->count() == 0) return;
  const CGRect b = layer.bounds();
  const CGPoint s = layer.startPoint(), e = layer.endPoint();
  PatternPtr gradient(cairo_pattern_create_linear(
      b.origin.x + s.x * b.size.width, b.origin.y + s.y * b.size.height,
      b.origin.x + e.x * b.size.width, b.origin.y + e.y * b.size.height));
  const size_t n = colours->items().size();
  const bool dark = drawsDark(layer);
  for (size_t i = 0; i < n; ++i) {
    const auto c = colourComponents(colours->items()[i].get(), dark);
    const double offset = n == 1 ? 0 : static_cast<double>(i) / static_cast<double>(n - 1);
    cairo_pattern_add_color_stop_rgba(gradient.get(), offset, c[0], c[1], c[2], c[3]);
  }
  cairo_set_source(cr, gradient.get());
  cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
  cairo_fill(cr);
}

void drawShape(cairo_t* cr, const CAShapeLayer& layer) {
  const CGPath* path = CGPath::cls.cast(layer.path().get());
  if (!path) return;
  addPath(cr, *path);
  // No fill colour is the host's default, opaque black.
  const Ref<> colour = layer.fillColor();
  if (colour)
    setSource(cr, colourComponents(colour.get(), drawsDark(layer)));
  else
    cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_fill(cr);
}

void drawImage(cairo_t* cr, const UIImageView& view) {
  const UIImage* image = UIImage::cls.cast(view.image().get());
  const CGImage* pixels = image ? image->pixels() : nullptr;
  if (!pixels || pixels->width() <= 0 || pixels->height() <= 0) return;
  const CGRect dest = imageRect(view.bounds(), image->size(), view.contentMode());
  if (dest.size.width <= 0 || dest.size.height <= 0) return;

  CairoSave save(cr);
  cairo_rectangle(cr, dest.origin.x, dest.origin.y, dest.size.width, dest.size.height);
  cairo_clip(cr);
  cairo_translate(cr, dest.origin.x, dest.origin.y);
  cairo_scale(cr, dest.size.width / pixels->width(), dest.size.height / pixels->height());
  PatternPtr pattern(cairo_pattern_create_for_surface(pixels->surface()));
  // Padding keeps the edge pixels solid up to the clip instead of fading them out.
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_GOOD);
  if (image->origin().kind == ImageOrigin::Kind::Symbol) {
    // A template image: its alpha in the view's tint colour.
    setSource(cr, colourComponents(view.tintColor().get(), drawsDark(view.caLayer())));
    cairo_mask(cr, pattern.get());
  } else {
    cairo_set_source(cr, pattern.get());
    cairo_paint(cr);
  }
}

// A label's text as pango lays it out for drawing, and where its top goes.
struct LaidOutText {
  LayoutPtr layout;
  PangoRectangle logical{};  // pango units
  double top = 0;            // points, in the label's coordinates
  int lines = 0;
};

std::optional<LaidOutText> layOutLabel(cairo_t* cr, const UILabel& label) {
  const std::string* text = stringText(label.text().get());
  const CGRect b = label.bounds();
  if (!text || text->empty() || b.size.width <= 0 || b.size.height <= 0) return std::nullopt;

  // Laid out as `measureText` measures: no hinting, glyphs where the font puts them.
  LaidOutText out{unhintedLayout(cr)};
  PangoLayout* layout = out.layout.get();
  const FontDescriptionPtr font(
      pango_font_description_from_string(label.fontOrDefault().pangoDescription().c_str()));
  pango_layout_set_font_description(layout, font.get());
  pango_layout_set_text(layout, text->data(), static_cast<int>(text->size()));
  // Pango's units are ints: a label wider than they reach (drawn shrunk, see render.h)
  // wraps at the widest they hold.
  pango_layout_set_width(layout,
                         static_cast<int>(std::min(b.size.width * PANGO_SCALE, double{INT_MAX})));
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  // Natural alignment: the leading edge of the label's own layout direction (playback
  // controls stay left to right on a right-to-left device).
  pango_layout_set_auto_dir(layout, FALSE);
  if (label.effectiveUserInterfaceLayoutDirection() == UIUserInterfaceLayoutDirectionRightToLeft)
    pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
  // Ellipsising only where lines are limited: pango's default limit is one line.
  if (label.numberOfLines() > 0) {
    pango_layout_set_height(layout, -static_cast<int>(label.numberOfLines()));
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  }
  pango_layout_get_extents(layout, nullptr, &out.logical);
  if (out.logical.height > b.size.height * PANGO_SCALE) {
    // Fewer lines than allowed fit the label: the last that fits ends in the ellipsis. A
    // line count, not a height, since pango takes a height limit in device units on a
    // scaled context and the lines would then overflow the label. At least one line
    // shows, as on the host.
    int fit = 0;
    PangoLayoutIter* lines = pango_layout_get_iter(layout);
    do {
      PangoRectangle line;
      pango_layout_iter_get_line_extents(lines, nullptr, &line);
      if (line.y + line.height - out.logical.y > b.size.height * PANGO_SCALE) break;
      ++fit;
    } while (pango_layout_iter_next_line(lines));
    pango_layout_iter_free(lines);
    pango_layout_set_height(layout, -std::max(fit, 1));
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    pango_layout_get_extents(layout, nullptr, &out.logical);
  }
  out.lines = pango_layout_get_line_count(layout);
  // The text is centred vertically in the label, as the host's labels draw it.
  const double height = static_cast<double>(out.logical.height) / PANGO_SCALE;
  out.top = b.origin.y + (b.size.height - height) / 2;
  return out;
}

void drawLabel(cairo_t* cr, const UILabel& label) {
  const std::optional<LaidOutText> text = layOutLabel(cr, label);
  if (!text) return;
  // A dynamic colour shows its dark value in a dark view; no colour is the label colour.
  const bool dark = drawsDark(label.caLayer());
  const Ref<> colour = label.textColor();
  if (colour)
    setSource(cr, colourComponents(colour.get(), dark));
  else
    cairo_set_source_rgb(cr, dark, dark, dark);
  cairo_move_to(cr, label.bounds().origin.x,
                text->top - static_cast<double>(text->logical.y) / PANGO_SCALE);
  pango_cairo_show_layout(cr, text->layout.get());
}

}  // namespace

DrawnText drawnText(const UILabel& label, double scale) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
  ContextPtr cr = makeContext(surface.get());
  cairo_scale(cr.get(), scale, scale);
  const std::optional<LaidOutText> text = layOutLabel(cr.get(), label);
  if (!text) return {};
  const CGRect b = label.bounds();
  // The logical extents' x is relative to the layout's left edge, which is the label's.
  return {text->lines,
          {{b.origin.x + static_cast<double>(text->logical.x) / PANGO_SCALE, text->top},
           {static_cast<double>(text->logical.width) / PANGO_SCALE,
            static_cast<double>(text->logical.height) / PANGO_SCALE}}};
}

CGRect imageRect(CGRect bounds, CGSize image, int64_t contentMode) {
  const double bw = bounds.size.width, bh = bounds.size.height;
  const double iw = image.width, ih = image.height;
  if (iw <= 0 || ih <= 0) return {};
  double w = bw, h = bh;
  switch (contentMode) {
    case UIViewContentModeScaleAspectFit:
    case UIViewContentModeScaleAspectFill: {
      const double fit = std::min(bw / iw, bh / ih), fill = std::max(bw / iw, bh / ih);
      const double s = contentMode == UIViewContentModeScaleAspectFit ? fit : fill;
      w = iw * s;
      h = ih * s;
      break;
    }
    case UIViewContentModeCenter:
      w = iw;
      h = ih;
      break;
    default:
      return bounds;
  }
  return {{bounds.origin.x + (bw - w) / 2, bounds.origin.y + (bh - h) / 2}, {w, h}};
}

void addPath(cairo_t* cr, const CGPath& path) {
  for (const CGPath::Element& e : path.elements()) {
    if (e.kind == CGPath::Element::Kind::Move)
      cairo_move_to(cr, e.point.x, e.point.y);
    else
      cairo_line_to(cr, e.point.x, e.point.y);
  }
}

void drawContent(cairo_t* cr, const CALayer& layer) {
  if (const auto* gradient = CAGradientLayer::cls.cast(&layer)) drawGradient(cr, *gradient);
  if (const auto* shape = CAShapeLayer::cls.cast(&layer)) drawShape(cr, *shape);
  const Ref<> view = layer.delegate();
  if (const auto* image = UIImageView::cls.cast(view.get())) drawImage(cr, *image);
  if (const auto* label = UILabel::cls.cast(view.get())) drawLabel(cr, *label);
  if (const auto* material = MTMaterialView::cls.cast(view.get())) {
    // What lies beneath, blurred (see backdrop.h), under the style's tint.
    CairoSave save(cr);
    addLayerShape(cr, layer);
    cairo_clip(cr);
    paintBackdrop(cr);
    setSource(cr, material->fill());
    cairo_paint(cr);
  }
}

}  // namespace host::render
