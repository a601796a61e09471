// lumora preview: what a person would see of a scene, as a PNG. The lockscreen (its
// wallpaper, clock and date, the notification list), when the scene has banners the
// home screen with the banners at the top, and when it has widgets the Today view, side
// by side; or one surface alone on the wallpaper; in the scene's appearance, or light
// and dark side by side.
#include <fstream>
#include <iostream>
#include <memory>

#include "host/foundation/file_io.h"
#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/image_codec.h"
#include "host/render/render.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"
#include "host/uikit/label.h"
#include "tool/commands.h"
#include "tool/scene_session.h"

namespace tool {
namespace {

using host::Device;

struct PreviewOptions {
  std::optional<std::string> scene, surface;
  std::optional<double> at;
  std::string output = "lumora-preview.png";
  double scale = 2;
  std::string appearance;  // "", "light", "dark" or "both"
};

constexpr double kGap = 24;     // points between screens
constexpr double kMargin = 16;  // points of wallpaper around a surface drawn alone

host::Wallpaper wallpaperFor(Device::InterfaceStyle style) {
  host::Wallpaper w;
  if (style == Device::InterfaceStyle::Dark) {
    w.top = {0.10, 0.13, 0.24, 1};
    w.bottom = {0.30, 0.16, 0.26, 1};
  }
  return w;
}

// The neutral grey between screens.
void paintGap(cairo_t* cr) {
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
  cairo_paint(cr);
}

// A white label centred at y on a screen of the given width.
void drawCentredText(cairo_t* cr, const std::string& text, double size, bool bold, double y,
                     double width) {
  rt::Ref<> label = rt::send(cls::UILabel, sel::new_);
  rt::send(label, sel::setText, host::NSStr(text));
  rt::send(label, sel::setFont, host::UIFont::make(size, bold));
  rt::send(label, sel::setTextColor, rt::send(cls::UIColor, sel::whiteColor));
  const rt::CGSize fits = rt::send(label, sel::sizeThatFits, rt::CGSize{});
  rt::send(label, sel::setFrame, rt::CGRect{{(width - fits.width) / 2, y}, fits});
  host::CairoSave save(cr);
  cairo_translate(cr, (width - fits.width) / 2, y);
  host::drawView(cr, *host::UIView::cls.cast(label.get()));
}

void paintWallpaper(cairo_t* cr, const host::Wallpaper& w, double width, double height) {
  host::CairoSave save(cr);
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgba(gradient, 0, w.top[0], w.top[1], w.top[2], w.top[3]);
  cairo_pattern_add_color_stop_rgba(gradient, 1, w.bottom[0], w.bottom[1], w.bottom[2],
                                    w.bottom[3]);
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
}

// The Today view: the wallpaper dimmed, the date, the widgets.
void drawTodayView(cairo_t* cr, const host::Wallpaper& wallpaper, const Device& d, rt::id window) {
  paintWallpaper(cr, wallpaper, d.screenWidth, d.screenHeight);
  // Only this screen: a paint would dim the screens beside it too.
  cairo_rectangle(cr, 0, 0, d.screenWidth, d.screenHeight);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.2);
  cairo_fill(cr);
  drawCentredText(cr, "Monday, 7 December", 22, true, 48, d.screenWidth);
  host::drawView(cr, *host::UIView::cls.cast(window));
}

// The lockscreen, with banners the home screen, with widgets the Today view, side by
// side, in points.
host::SurfacePtr renderScreens(const host::scene::Scene& scene, double scale) {
  const Device& d = scene.device;
  const rt::Ref<> banners = host::bannerWindow();
  const rt::Ref<> widgets = host::todayWindow();
  const int screens = 1 + (banners ? 1 : 0) + (widgets ? 1 : 0);
  const double width = d.screenWidth * screens + kGap * (screens - 1);
  host::SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(width * scale)),
                                 static_cast<int>(std::ceil(d.screenHeight * scale))));
  host::ContextPtr context = host::makeContext(surface.get());
  cairo_t* cr = context.get();
  paintGap(cr);
  cairo_scale(cr, scale, scale);
  const host::Wallpaper wallpaper = wallpaperFor(d.interfaceStyle);
  // The lockscreen: wallpaper, the clock and the date, the list.
  paintWallpaper(cr, wallpaper, d.screenWidth, d.screenHeight);
  drawCentredText(cr, "9:41", 80, false, 70, d.screenWidth);
  drawCentredText(cr, "Monday, 7 December", 20, false, 165, d.screenWidth);
  if (rt::Ref<> lockscreen = host::lockscreenWindow())
    host::drawView(cr, *host::UIView::cls.cast(lockscreen.get()));
  // The home screen with the banners on top.
  if (banners) {
    host::CairoSave save(cr);
    cairo_translate(cr, d.screenWidth + kGap, 0);
    paintWallpaper(cr, wallpaper, d.screenWidth, d.screenHeight);
    host::drawView(cr, *host::UIView::cls.cast(banners.get()));
  }
  if (widgets) {
    host::CairoSave save(cr);
    cairo_translate(cr, (d.screenWidth + kGap) * (screens - 1), 0);
    drawTodayView(cr, wallpaper, d, widgets.get());
  }
  if (!host::finish(cr))
    throw ToolError("drawing the preview failed: " +
                    std::string(cairo_status_to_string(cairo_status(cr))));
  return surface;
}

// One rendering of the scene in one appearance.
host::SurfacePtr renderOnce(const GlobalOptions& global, const PreviewOptions& options,
                            std::optional<Device::InterfaceStyle> style) {
  SceneSession session(global, options.scene, style);
  const auto surfaces = session.run(options.at);
  if (!options.surface) return renderScreens(session.scene(), options.scale);
  for (const auto& surface : surfaces) {
    if (surface.id != options.surface) continue;
    rt::Ref<> view = surface.controller ? rt::send(surface.controller, sel::view) : surface.view;
    const auto* v = host::UIView::cls.cast(view.get());
    if (!v) break;
    host::RenderedImage image = host::renderOnWallpaper(
        *v, options.scale, wallpaperFor(session.scene().device.interfaceStyle), kMargin);
    if (!image.image) throw ToolError("drawing the preview failed: " + image.error);
    host::SurfacePtr copy(cairo_surface_reference(image.image->surface()));
    return copy;
  }
  throw ToolError(session.scene().source + " has no surface with the id \"" + *options.surface +
                  "\"; the ids are the notifications' and the widgets' \"id\" fields, and "
                  "\"mediaplayer\" when a track plays");
}

// The pictures side by side, with the gap between them.
host::SurfacePtr sideBySide(const std::vector<host::SurfacePtr>& pictures, double scale) {
  int width = 0, height = 0;
  const int gap = static_cast<int>(std::ceil(kGap * scale));
  for (const auto& p : pictures) {
    width += cairo_image_surface_get_width(p.get()) + (width ? gap : 0);
    height = std::max(height, cairo_image_surface_get_height(p.get()));
  }
  host::SurfacePtr out(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  host::ContextPtr context = host::makeContext(out.get());
  paintGap(context.get());
  int x = 0;
  for (const auto& p : pictures) {
    cairo_set_source_surface(context.get(), p.get(), x, 0);
    cairo_paint(context.get());
    x += cairo_image_surface_get_width(p.get()) + gap;
  }
  if (!host::finish(context.get())) throw ToolError("composing the preview failed");
  return out;
}

void runPreview(const GlobalOptions& global, const PreviewOptions& options) {
  std::vector<host::SurfacePtr> pictures;
  if (options.appearance == "both") {
    pictures.push_back(renderOnce(global, options, Device::InterfaceStyle::Light));
    pictures.push_back(renderOnce(global, options, Device::InterfaceStyle::Dark));
  } else {
    std::optional<Device::InterfaceStyle> style;
    if (options.appearance == "light") style = Device::InterfaceStyle::Light;
    if (options.appearance == "dark") style = Device::InterfaceStyle::Dark;
    pictures.push_back(renderOnce(global, options, style));
  }
  host::SurfacePtr picture =
      pictures.size() == 1 ? std::move(pictures.front()) : sideBySide(pictures, options.scale);
  rt::Ref<host::CGImage> image = host::CGImage::fromSurface(std::move(picture));
  if (!image) throw ToolError("the preview is too large to encode; try a smaller --scale");
  const std::vector<uint8_t> png = host::encodePNG(*image, host::PngSize::Small);
  const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
  if (options.output == "-") {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    return;
  }
  if (std::string error = host::replaceFile(options.output, bytes); !error.empty())
    throw ToolError("cannot write the preview: " + error);
  std::cout << "wrote " << options.output << " (" << image->width() << " x " << image->height()
            << " pixels)\n";
}

}  // namespace

std::vector<uint8_t> screensPNG(const host::scene::Scene& scene, double scale) {
  rt::Ref<host::CGImage> image = host::CGImage::fromSurface(renderScreens(scene, scale));
  if (!image) throw ToolError("the preview is too large to encode; try a smaller --scale");
  return host::encodePNG(*image, host::PngSize::Small);
}

void addPreviewCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<PreviewOptions>();
  CLI::App* cmd =
      app.add_subcommand("preview", "render what a person would see of a scene, as a PNG");
  addSceneOptions(*cmd, options->scene, options->at);
  cmd->add_option("-o,--output", options->output,
                  "the PNG file to write; - for standard output (default: lumora-preview.png)");
  cmd->add_option("--scale", options->scale, "pixels per point: 1, 2 or 3 (default: 2)")
      ->check(CLI::IsMember({1.0, 2.0, 3.0}));
  cmd->add_option("--surface", options->surface,
                  "render only the notification or widget with this id (or \"mediaplayer\"), "
                  "on the wallpaper");
  cmd->add_option("--appearance", options->appearance,
                  "light, dark, or both side by side (default: the scene's)")
      ->check(CLI::IsMember({"light", "dark", "both"}));
  cmd->footer("The scene format is described in docs/scenes.md.");
  cmd->callback([options, &global] { runPreview(global, *options); });
}

}  // namespace tool
