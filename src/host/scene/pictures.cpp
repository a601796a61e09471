#include "host/scene/pictures.h"

#include <pango/pangocairo.h>

#include <memory>

#include "host/host.h"
#include "host/quartz/cairo_handles.h"
#include "host/quartz/image_codec.h"
#include "host/uikit/image.h"

namespace host::scene {
namespace {

void setSource(cairo_t* cr, const Picture::Rgb& rgb) {
  cairo_set_source_rgb(cr, rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0);
}

// The glyph in white bold type, centred, as large as fits in 80% of the side.
void drawGlyph(cairo_t* cr, const std::string& glyph) {
  constexpr double kSide = kPicturePixels, kRoom = kSide * 0.8;
  std::unique_ptr<PangoLayout, void (*)(void*)> layout(pango_cairo_create_layout(cr),
                                                       g_object_unref);
  // No hinting, so the drawing does not depend on the machine's font settings.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout.get());
  pango_layout_set_text(layout.get(), glyph.data(), static_cast<int>(glyph.size()));
  auto setSize = [&](double pixels) {
    std::unique_ptr<PangoFontDescription, void (*)(PangoFontDescription*)> font(
        pango_font_description_from_string("DejaVu Sans Bold"), pango_font_description_free);
    pango_font_description_set_absolute_size(font.get(), pixels * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
  };
  double size = kSide / 2;
  setSize(size);
  PangoRectangle ink, logical;
  pango_layout_get_extents(layout.get(), &ink, &logical);
  const double width = static_cast<double>(ink.width) / PANGO_SCALE;
  if (width > kRoom) {
    size *= kRoom / width;
    setSize(size);
    pango_layout_get_extents(layout.get(), &ink, &logical);
  }
  // Centre the ink, which is what the eye sees, not the line box.
  const double x = (static_cast<double>(ink.x) + ink.width / 2.0) / PANGO_SCALE;
  const double y = (static_cast<double>(ink.y) + ink.height / 2.0) / PANGO_SCALE;
  cairo_move_to(cr, kSide / 2 - x, kSide / 2 - y);
  cairo_set_source_rgb(cr, 1, 1, 1);
  pango_cairo_show_layout(cr, layout.get());
}

Ref<CGImage> draw(const Picture& picture) {
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPicturePixels, kPicturePixels));
  ContextPtr context = makeContext(surface.get());
  cairo_t* cr = context.get();
  if (picture.kind == Picture::Kind::Colour) {
    setSource(cr, picture.colours.front());
    cairo_paint(cr);
  } else {
    // Top to bottom, the colours evenly spaced.
    std::unique_ptr<cairo_pattern_t, void (*)(cairo_pattern_t*)> gradient(
        cairo_pattern_create_linear(0, 0, 0, kPicturePixels), cairo_pattern_destroy);
    const size_t last = picture.colours.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
      const Picture::Rgb& c = picture.colours[i];
      cairo_pattern_add_color_stop_rgb(gradient.get(), static_cast<double>(i) / last, c[0] / 255.0,
                                       c[1] / 255.0, c[2] / 255.0);
    }
    cairo_set_source(cr, gradient.get());
    cairo_paint(cr);
    if (!picture.glyph.empty()) drawGlyph(cr, picture.glyph);
  }
  if (!finish(cr)) return nullptr;
  context.reset();
  return CGImage::fromSurface(std::move(surface));
}

}  // namespace

std::vector<uint8_t> pictureBytes(const Picture& picture) {
  if (picture.kind == Picture::Kind::File) return {picture.bytes().begin(), picture.bytes().end()};
  Ref<CGImage> image = draw(picture);
  return image ? encodePNG(*image) : std::vector<uint8_t>{};
}

Ref<> pictureImage(const Picture& picture) {
  if (picture.kind != Picture::Kind::File)
    return UIImage::make(draw(picture), device().screenScale);
  // Decoded on first use; every later use shares the pixels (an image never changes).
  if (const PictureFile* file = picture.contents.get(); file && !file->decoded) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(file->bytes.data());
    file->image = decodeImage({bytes, file->bytes.size()}).image;
    file->decoded = true;
  }
  Ref<UIImage> image = UIImage::make(picture.contents ? picture.contents->image : nullptr,
                                     imageScaleForPath(picture.file));
  if (image) image->setOrigin({ImageOrigin::Kind::File, picture.file});
  return image;
}

}  // namespace host::scene
