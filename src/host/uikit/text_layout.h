// Pango with the model's text settings: no hinting and unrounded glyph positions, so text
// has the same size and shape at every scale and on every machine, and a label drawn at
// any scale fits the size it measured.
#pragma once

#include <pango/pangocairo.h>

#include <memory>

namespace host {

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

struct FontDescriptionFree {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// Turns hinting off and glyph rounding off on the context.
inline void setUnhinted(PangoContext* context) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
}

// A layout drawing on `cr` with those settings.
inline LayoutPtr unhintedLayout(cairo_t* cr) {
  LayoutPtr layout(pango_cairo_create_layout(cr));
  setUnhinted(pango_layout_get_context(layout.get()));
  pango_layout_context_changed(layout.get());
  return layout;
}

}  // namespace host
