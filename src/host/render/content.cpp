#include "host/render/content.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/quartz/cairo_handles.h"
#include "host/render/shape.h"
#include "host/uikit/application.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"
#include "host/uikit/material_view.h"

namespace host::render {
namespace {

bool isDarkStyle(const UIView& view) {
  const Ref<> collection = view.traitCollection();  // held while it is read
  const auto* traits = UITraitCollection::cls.cast(collection.get());
  return traits && traits->userInterfaceStyle() == UIUserInterfaceStyleDark;
}

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;
struct FontDescriptionFree {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};

void drawGradient(cairo_t* cr, const CAGradientLayer& layer) {
  const NSArray* colours = NSArray::cls.cast(layer.colors().get());
  if (!colours || colours->count() == 0) return;
  const CGRect b = layer.bounds();
  const CGPoint s = layer.startPoint(), e = layer.endPoint();
  PatternPtr gradient(cairo_pattern_create_linear(
      b.origin.x + s.x * b.size.width, b.origin.y + s.y * b.size.height,
      b.origin.x + e.x * b.size.width, b.origin.y + e.y * b.size.height));
  const size_t n = colours->items().size();
  for (size_t i = 0; i < n; ++i) {
    const auto c = colourComponents(colours->items()[i].get());
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
    setSource(cr, colourComponents(view.tintColor().get()));
    cairo_mask(cr, pattern.get());
  } else {
    cairo_set_source(cr, pattern.get());
    cairo_paint(cr);
  }
}

void drawLabel(cairo_t* cr, const UILabel& label) {
  const std::string* text = stringText(label.text().get());
  const CGRect b = label.bounds();
  if (!text || text->empty() || b.size.width <= 0 || b.size.height <= 0) return;

  LayoutPtr layout(pango_cairo_create_layout(cr));
  // Laid out as `measureText` measures: no hinting, glyphs where the font puts them.
  PangoContext* context = pango_layout_get_context(layout.get());
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
  pango_layout_context_changed(layout.get());

  std::unique_ptr<PangoFontDescription, FontDescriptionFree> font(
      pango_font_description_from_string(label.fontOrDefault().pangoDescription().c_str()));
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_text(layout.get(), text->data(), static_cast<int>(text->size()));
  // Pango's units are ints: a label wider than they reach (drawn shrunk, see render.h)
  // wraps at the widest they hold.
  auto pangoUnits = [](double points) {
    return static_cast<int>(std::min(points * PANGO_SCALE, double{INT_MAX}));
  };
  pango_layout_set_width(layout.get(), pangoUnits(b.size.width));
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  // Natural alignment: the leading edge of the device's layout direction.
  pango_layout_set_auto_dir(layout.get(), FALSE);
  if (device().layoutDirection == Device::LayoutDirection::RightToLeft)
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_RIGHT);
  // Ellipsising only where lines are limited: pango's default limit is one line.
  if (label.numberOfLines() > 0) {
    pango_layout_set_height(layout.get(), -static_cast<int>(label.numberOfLines()));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  if (logical.height > b.size.height * PANGO_SCALE) {
    // Fewer lines than allowed fit the label: the last that fits ends in the ellipsis.
    pango_layout_set_height(layout.get(), pangoUnits(b.size.height));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    pango_layout_get_extents(layout.get(), nullptr, &logical);
  }

  // The text is centred vertically in the label, as the host's labels draw it.
  const double height = static_cast<double>(logical.height) / PANGO_SCALE;
  const double top = b.origin.y + (b.size.height - height) / 2;
  // A dynamic colour shows its dark value in a dark view; no colour is the label colour.
  const bool dark = isDarkStyle(label);
  const Ref<> colour = label.textColor();
  if (const auto* ui = UIColor::cls.cast(colour.get()))
    setSource(cr, ui->rgba(dark));
  else if (colour)
    setSource(cr, colourComponents(colour.get()));
  else
    cairo_set_source_rgb(cr, dark, dark, dark);
  cairo_move_to(cr, b.origin.x, top - static_cast<double>(logical.y) / PANGO_SCALE);
  pango_cairo_show_layout(cr, layout.get());
}

}  // namespace

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
    addLayerShape(cr, layer);
    setSource(cr, material->fill());
    cairo_fill(cr);
  }
}

}  // namespace host::render
