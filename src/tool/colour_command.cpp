// `lumora colour`: the colour a colour string names (components, hex, brightness, dark
// or not), or the dominant and average colours of an image file, as the restyle passes
// see them. Numbers are printed in full (shortest text that reads back exactly).
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "colour/colour_string.h"
#include "colour/image_colour.h"
#include "host/foundation/file_io.h"
#include "host/foundation/utf8.h"
#include "host/foundation/values.h"
#include "host/quartz/cgcolor.h"
#include "host/quartz/image_codec.h"
#include "host/uikit/image.h"
#include "tool/commands.h"
#include "tool/output.h"

namespace tool {
namespace {

using rt::Ref;
using Components = std::array<double, 4>;

struct ColourOptions {
  std::optional<std::string> text;
  std::optional<std::string> image;
  std::optional<double> scale;
  bool json = false;
};

std::string number(double v) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, v);
  return std::string(text, result.ptr);
}

Components components(rt::id colour) {
  Ref<> cg = rt::send(colour, sel::CGColor);
  const double* c = host::CGColorGetComponents(cg.get());
  return {c[0], c[1], c[2], c[3]};
}

// #RRGGBB of the components (each rounded and clamped to a byte), with ":A.AA" when
// the alpha is not 1.
std::string hex(const Components& c) {
  const auto byte = [](double v) {
    return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)) : 0;
  };
  char text[48];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(c[0]), byte(c[1]), byte(c[2]));
  std::string out = text;
  if (c[3] != 1) {
    std::snprintf(text, sizeof text, ":%.2f", c[3]);
    out += text;
  }
  return out;
}

// JSON has no infinities or NaN: such a component (an alpha of "1e99") prints as null.
Json componentsJson(const Components& c) {
  return {{"red", c[0]}, {"green", c[1]}, {"blue", c[2]}, {"alpha", c[3]}};
}

std::string componentsText(const Components& c) {
  return hex(c) + "  red " + number(c[0]) + "  green " + number(c[1]) + "  blue " + number(c[2]) +
         "  alpha " + number(c[3]);
}

void describeString(const std::string& text, bool json) {
  Ref<> colour = lumora::lumoraColorFromHexString(host::NSStr(text).get());
  if (json) {
    Json out;
    out["input"] = text;
    if (colour) {
      out["colour"] = componentsJson(components(colour.get()));
      out["brightness"] = lumora::lumoraColorBrightness(colour.get());
      out["dark"] = lumora::lumoraIsDarkColor(colour.get());
    } else {
      out["colour"] = nullptr, out["brightness"] = nullptr, out["dark"] = nullptr;
    }
    printJson(out);
    return;
  }
  if (!colour) {
    std::cout << "\"" << host::utf8::printable(text)
              << "\": no colour (a colour string is \"#\" and six hexadecimal "
              << "digits RRGGBB, optionally \":\" and an alpha, such as #FF8000:0.50)\n";
    return;
  }
  std::cout << "colour      " << componentsText(components(colour.get())) << "\n"
            << "brightness  " << number(lumora::lumoraColorBrightness(colour.get())) << "\n"
            << "dark        " << (lumora::lumoraIsDarkColor(colour.get()) ? "yes" : "no")
            << " (brightness below 0.6)\n";
}

std::vector<uint8_t> readImageFile(const std::string& path) {
  const host::FileContents contents = host::readRegularFile(path, host::kMaxImageFileBytes);
  if (contents.status == host::FileContents::Status::Missing)
    throw ToolError("cannot read " + path + ": no such file");
  if (contents.status == host::FileContents::Status::Failed)
    throw ToolError("cannot read " + path + ": " + contents.error +
                    "; give a PNG or JPEG image file");
  return std::vector<uint8_t>(contents.bytes.begin(), contents.bytes.end());
}

// Whether any pixel is at least half opaque (alpha 128 or more, as the analysis counts).
bool hasOpaquePixel(const host::CGImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.row(y)[x] >> 24) >= 128) return true;
  return false;
}

void describeImage(const std::string& path, std::optional<double> scaleOption, bool json) {
  const std::vector<uint8_t> bytes = readImageFile(path);
  host::DecodedImage decoded = host::decodeImage(bytes);
  if (!decoded.image)
    throw ToolError(path + ": " + decoded.error + "; give a PNG or JPEG image file");
  const double scale = scaleOption ? *scaleOption : host::imageScaleForPath(path);
  Ref<> image = host::UIImage::make(decoded.image, scale);
  const rt::CGSize size = rt::send(image, sel::size);
  const Components dominant = components(lumora::lumoraDominantColor(image.get()).get());
  const Components average = components(lumora::lumoraAverageColor(image.get()).get());
  if (json) {
    Json out;
    out["file"] = path;
    out["size"] = {size.width, size.height};
    out["scale"] = scale;
    out["dominant"] = componentsJson(dominant);
    out["average"] = componentsJson(average);
    printJson(out);
    return;
  }
  const bool clear = dominant == Components{0, 0, 0, 0};
  // Why an image has no dominant colour, in the analysis's own terms.
  std::string why;
  if (clear)
    why = hasOpaquePixel(*decoded.image)
              ? "  (none: its visible pixels make one colour cluster, and a dominant colour "
                "stands out from a second one; settings set to \"dominant\" keep the host's "
                "own colour)"
              : "  (none: no pixel is at least half opaque; settings set to \"dominant\" keep "
                "the host's own colour)";
  std::cout << "file      " << path << "\n"
            << "size      " << number(size.width) << " x " << number(size.height)
            << " points at scale " << number(scale) << " (" << decoded.image->width() << " x "
            << decoded.image->height() << " pixels)\n"
            << "dominant  " << componentsText(dominant) << why << "\n"
            << "average   " << componentsText(average) << "\n";
}

}  // namespace

void addColourCommand(CLI::App& app, const GlobalOptions&) {
  auto options = std::make_shared<ColourOptions>();
  CLI::App* cmd = app.add_subcommand(
      "colour",
      "show the colour a colour string names, or an image's dominant and average colours");
  cmd->add_option("text", options->text,
                  "a colour string such as '#FF8000' or '#000000:0.00' (quote the #)");
  cmd->add_option("--image", options->image, "a PNG or JPEG file to analyse instead");
  cmd->add_option("--scale", options->scale,
                  "the image's scale (default: 2 or 3 for names ending in @2x or @3x, else 1)")
      ->check(CLI::Validator(
          [](const std::string& text) -> std::string {
            char* end = nullptr;
            const double scale = std::strtod(text.c_str(), &end);
            if (!text.empty() && end == text.c_str() + text.size() && std::isfinite(scale) &&
                scale > 0)
              return {};
            return "\"" + host::utf8::printable(text) +
                   "\" is not a scale; give a positive number, such as 2 or 3";
          },
          "NUMBER"));
  cmd->add_flag("--json", options->json, "print one JSON object");
  cmd->callback([options] {
    if (options->text && options->image)
      throw ToolError("give either a colour string or --image FILE, not both", 2);
    if (!options->text && !options->image)
      throw ToolError("give a colour string (such as '#FF8000') or --image FILE", 2);
    if (options->scale && !options->image) throw ToolError("--scale applies to --image only", 2);
    if (options->scale && !(*options->scale > 0 && std::isfinite(*options->scale)))
      throw ToolError("--scale must be a positive number, such as 2 or 3", 2);
    HostSession session;
    if (options->text)
      describeString(*options->text, options->json);
    else
      describeImage(*options->image, options->scale, options->json);
  });
}

}  // namespace tool
