// lumora preview: what a person would see of a scene, as a PNG. The lockscreen (its
// wallpaper, clock and date, the notification list), when the scene has banners the
// home screen with the banners at the top, and when it has widgets the Today view, side
// by side; or one surface alone on the wallpaper; in the scene's appearance, or light
// and dark side by side.
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>

#include "host/foundation/file_io.h"
#include "host/foundation/utf8.h"
#include "host/quartz/cairo_handles.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/image_codec.h"
#include "host/render/render.h"
#include "host/render/screens.h"
#include "host/scene/dump.h"
#include "tool/commands.h"
#include "tool/output.h"
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

constexpr double kMargin = 16;  // points of wallpaper around a surface drawn alone

// One rendering of the scene in one appearance.
host::SurfacePtr renderOnce(const GlobalOptions& global, const PreviewOptions& options,
                            std::optional<Device::InterfaceStyle> style) {
  SceneSession session(global, options.scene, style);
  const auto surfaces = session.run(options.at);
  if (!options.surface) return screens(session.scene(), options.scale, true);
  for (const auto& surface : host::scene::withBulletins(surfaces)) {
    if (surface.id != options.surface) continue;
    rt::Ref<> view = surface.controller ? rt::send(surface.controller, sel::view) : surface.view;
    const auto* v = host::UIView::cls.cast(view.get());
    if (!v) break;
    host::RenderedImage image =
        host::renderOnWallpaper(*v, options.scale, wallpaperOf(session.scene()), kMargin);
    printNotes(image.notes);
    if (!image.image) throw ToolError("drawing the preview failed: " + image.error);
    host::SurfacePtr copy(cairo_surface_reference(image.image->surface()));
    return copy;
  }
  throw ToolError(session.scene().source + " has no surface with the id \"" + *options.surface +
                      "\"; the ids are the notifications' and the widgets' \"id\" fields, "
                      "\"bulletin-N\" for a bulletin on screen, and \"mediaplayer\" when a track "
                      "plays",
                  2);
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
    writeStandardOutput(bytes);
    return;
  }
  if (std::string error = writeOutputFile(options.output, bytes, "lumora-preview.png");
      !error.empty())
    throw ToolError("cannot write the preview: " + error);
  std::cout << "wrote " << host::utf8::printable(options.output) << " (" << image->width() << " x "
            << image->height() << " pixels)\n";
}

}  // namespace

void addScaleOption(CLI::App& command, double& scale, const std::string& description) {
  command.add_option("--scale", scale, description)
      ->check(CLI::Validator(
          [](const std::string& text) -> std::string {
            if (text == "1" || text == "2" || text == "3") return {};
            return "\"" + text + "\" is not a scale the preview is drawn at; give 1, 2 or 3";
          },
          "1|2|3"));
}

void addPreviewCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<PreviewOptions>();
  CLI::App* cmd =
      app.add_subcommand("preview", "render what a person would see of a scene, as a PNG");
  addSceneOptions(*cmd, options->scene, options->at);
  cmd->add_option("-o,--output", options->output,
                  "the PNG file to write; - for standard output (default: lumora-preview.png)");
  addScaleOption(*cmd, options->scale, "pixels per point: 1, 2 or 3 (default: 2)");
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
