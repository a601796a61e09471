// lumora panel: the settings in a web page beside a live picture of the device. The
// device runs on the device root as under `lumora run` (the same lock, the same socket
// for `lumora notify`), and the page changes the settings through the same checked
// write as `lumora prefs set`. The host lives on this (the main) thread; the server's
// threads hand it their work (panel_server.h).
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "colour/colour_string.h"
#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/random.h"
#include "host/foundation/user_defaults.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/image_codec.h"
#include "host/render/render.h"
#include "host/render/screens.h"
#include "host/scene/dump.h"
#include "host/springboard/bulletins.h"
#include "host/uikit/colour.h"
#include "host/uikit/material_view.h"
#include "host/uikit/view.h"
#include "panel_files.h"
#include "prefs/lumora_prefs.h"
#include "shared/added_views.h"
#include "startup/loader.h"
#include "tool/commands.h"
#include "tool/device_link.h"
#include "tool/live_watch.h"
#include "tool/output.h"
#include "tool/panel_server.h"
#include "tool/presets.h"
#include "tool/scene_session.h"

namespace tool {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using panel::Reply;
using panel::Request;

// The test requests the page's two buttons post, as the device's own panel does.
const std::vector<std::string> kTestRequests = {"com.tarnwick.lumora/testRegular",
                                                "com.tarnwick.lumora/testLockscreen"};
// Text under this contrast against its fixed background is said to be hard to read.
constexpr double kLeastContrast = 3.0;
// Undo goes back this many changes at most.
constexpr size_t kUndoDepth = 50;

struct PanelOptions {
  std::optional<std::string> scene;
  uint16_t port = 0;
};

Reply json(const Json& value, int status = 200) {
  return {status, "application/json", compactJson(value), {}};
}
// A member of a request's JSON that is text, else empty.
std::string textOf(const Json& body, const char* name) {
  auto it = body.is_object() ? body.find(name) : body.end();
  return it != body.end() && it->is_string() ? it->get<std::string>() : "";
}
Reply problem(int status, const std::string& message) {
  return json(Json{{"error", message}}, status);
}

// --- contrast -------------------------------------------------------------------------

// The components of a fixed colour setting's value ("#FF8800", "#FF8800:0.5"); nothing
// for none, dominant, a keyword or text that names no colour.
std::optional<std::array<double, 4>> fixedColour(const std::string& value) {
  if (!value.starts_with("#")) return std::nullopt;
  rt::Ref<> colour = lumora::lumoraColorFromHexString(host::NSStr(value).get());
  const auto* ui = host::UIColor::cls.cast(colour.get());
  if (!ui) return std::nullopt;
  const auto& c = ui->rgba();
  return std::array<double, 4>{c[0], c[1], c[2], c[3]};
}

// WCAG's relative luminance and contrast ratio; the text's alpha blends it over the
// background first.
double luminance(double r, double g, double b) {
  auto linear = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}
double contrast(const std::array<double, 4>& text, const std::array<double, 4>& back) {
  const double a = std::clamp(text[3], 0.0, 1.0);
  const double lt = luminance(text[0] * a + back[0] * (1 - a), text[1] * a + back[1] * (1 - a),
                              text[2] * a + back[2] * (1 - a));
  const double lb = luminance(back[0], back[1], back[2]);
  return (std::max(lt, lb) + 0.05) / (std::min(lt, lb) + 0.05);
}

// The background a text colour setting stands on: the header's colour for the header's
// texts when it is fixed, else the platter's.
std::vector<std::string> backgroundsOf(const std::string& key) {
  for (const char* surface : {"Banner", "Lockscreen"}) {
    const std::string s = surface;
    if (key == "colorPrimaryLabel" + s || key == "colorSecondaryLabel" + s)
      return {"colorBackground" + s};
    if (key == "colorHeaderTitle" + s || key == "colorHeaderDate" + s)
      return {"colorHeader" + s, "colorBackground" + s};
  }
  return {};
}

// The colours a "dominant" background takes on the device shown, one for each
// notification of the surface (`Banner` or `Lockscreen`): the background the restyle
// painted, over its card's material tint. Named by the notification.
std::vector<std::pair<std::string, std::array<double, 4>>> computedBackgrounds(
    const std::vector<host::scene::Surface>& surfaces, const std::string& suffix) {
  const auto kind = suffix == "Banner" ? host::scene::Surface::Kind::Banner
                                       : host::scene::Surface::Kind::Lockscreen;
  std::vector<std::pair<std::string, std::array<double, 4>>> out;
  for (const host::scene::Surface& s : surfaces) {
    if (s.kind != kind || !s.controller) continue;
    rt::Ref<> card = rt::send(s.controller, sel::viewForPreview);
    rt::Ref<> background = rt::send(card, sel::lumoraBackground);
    rt::Ref<> material = rt::send(card, sel::backgroundMaterialView);
    const auto* ui = host::UIColor::cls.cast(rt::send(background, sel::backgroundColor).get());
    const auto* tint = host::MTMaterialView::cls.cast(material.get());
    if (!ui || !tint || ui->rgba()[3] <= 0) continue;
    const auto& c = ui->rgba();
    const std::array<double, 4> under = tint->fill();
    std::array<double, 4> over{0, 0, 0, 1};
    for (int i = 0; i < 3; ++i) over[i] = c[i] * c[3] + under[i] * (1 - c[3]);
    out.emplace_back(s.id.value_or("a notification"), over);
  }
  return out;
}

// --- the device -----------------------------------------------------------------------

// A scene's device on the device root, its clock following the wall clock. The scene's
// own settings are not stored: the picture shows the person's settings on the scene's
// apps, notifications, widgets and track.
class PanelDevice {
 public:
  PanelDevice(const fs::path& root, host::scene::Scene scene)
      : host_({root, {}, scene.device}), scene_(std::move(scene)), start_(Clock::now()) {
    scene_.preferences.clear();
    for (auto& e : scene_.timeline) e.set.clear(), e.keys.clear();
    host::random_source::seed(std::random_device{}());
    try {
      surfaces_ =
          host::scene::buildDevice(scene_, {prefs::kSuiteName, [] { lumora::loadSystem(); }});
    } catch (const host::scene::DeviceError& e) {
      throw ToolError(scene_.source + ": " + e.what(), 2);
    }
    store_ = host::NSUserDefaults::cls.make();
    store_->initWithSuiteName(host::NSStr(prefs::kSuiteName).get());
  }
  PanelDevice(const PanelDevice&) = delete;
  PanelDevice& operator=(const PanelDevice&) = delete;

  host::NSUserDefaults& store() { return *store_; }
  const host::scene::Scene& scene() const { return scene_; }
  const std::vector<host::scene::Surface>& surfaces() const { return surfaces_; }

  // Runs what is due by the wall clock; whether anything ran.
  bool catchUp() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start_);
    const auto target = static_cast<uint64_t>(elapsed.count());
    const uint64_t now = host::main_queue::now();
    return host::main_queue::advance(target > now ? target - now : 0) > 0;
  }
  // Everything lays out again now, reading the settings afresh.
  void layOut() {
    host::scene::markEverythingForLayout();
    host::main_queue::requestCommit();
    catchUp();
  }
  void post(const std::string& name) {
    host::CFNotificationCenterPostNotification(host::CFNotificationCenterGetDarwinNotifyCenter(),
                                               host::NSStr(name).get(), nullptr, nullptr, true);
    catchUp();
  }
  // Milliseconds until the clock has something to do (-1: nothing).
  int idleTimeout() const {
    std::optional<uint64_t> due = host::main_queue::nextDueTime();
    if (!due) return -1;
    const auto at = start_ + std::chrono::nanoseconds(*due);
    return static_cast<int>(std::clamp<int64_t>(
        std::chrono::ceil<std::chrono::milliseconds>(at - Clock::now()).count(), 0, 60'000));
  }

  // What the device shows, for telling a change: the dump without its time.
  std::string shown() const {
    Json dump = dumpOf(surfaces_);
    dump.erase("time");
    return dump.dump(-1, ' ', false, Json::error_handler_t::replace);
  }

  // The picture in one style: the screens chosen, or one surface on the wallpaper.
  host::SurfacePtr draw(host::Device::InterfaceStyle style, host::ScreenChoice screens,
                        const std::string& surface, double scale) {
    if (host::device().interfaceStyle != style) {
      host::setDeviceInterfaceStyle(style);
      layOut();
    }
    host::scene::Scene styled = scene_;
    styled.device.interfaceStyle = style;
    const host::Wallpaper wallpaper = wallpaperOf(styled);
    if (surface.empty()) {
      host::ScreensPicture picture = host::renderScreens(host::device(), wallpaper, scale, screens);
      if (!picture.surface) throw ToolError("drawing the picture failed: " + picture.error);
      return std::move(picture.surface);
    }
    for (const auto& s : host::scene::withBulletins(surfaces_)) {
      if (s.id != surface) continue;
      rt::Ref<> view = s.controller ? rt::send(s.controller, sel::view) : s.view;
      const auto* v = host::UIView::cls.cast(view.get());
      if (!v) break;
      host::RenderedImage image = host::renderOnWallpaper(*v, scale, wallpaper, 16);
      if (!image.image) throw ToolError("drawing the picture failed: " + image.error);
      return host::SurfacePtr(cairo_surface_reference(image.image->surface()));
    }
    throw ToolError("the scene shows no surface \"" + surface + "\" now", 2);
  }
  // Back to the scene's own style after drawing another.
  void restoreStyle() {
    if (host::device().interfaceStyle == scene_.device.interfaceStyle) return;
    host::setDeviceInterfaceStyle(scene_.device.interfaceStyle);
    layOut();
  }

 private:
  HostSession host_;  // declared first: everything below is released before the reset
  host::scene::Scene scene_;
  Clock::time_point start_;
  std::vector<host::scene::Surface> surfaces_;
  rt::Ref<host::NSUserDefaults> store_;
};

// --- the panel ------------------------------------------------------------------------

// A preset of the gallery: its file and the picture `lumora docs` made of it.
struct GalleryPreset {
  std::string id;
  fs::path file, picture;
};

// The undo of one change: each key's stored value before it (nil: not stored).
using UndoEntry = std::vector<host::DefaultsChange>;

class Panel {
 public:
  Panel(const fs::path& root, const fs::path& tree, const std::optional<std::string>& sceneFile)
      : root_(root) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(tree / "scenes", error))
      if (entry.path().extension() == ".json") scenes_[entry.path().stem().string()] = entry.path();
    for (const auto& entry : fs::directory_iterator(tree / "presets", error)) {
      if (entry.path().extension() != ".json") continue;
      GalleryPreset p{entry.path().stem().string(), entry.path(), {}};
      for (const auto& pic : fs::directory_iterator(tree / "docs/presets", error))
        if (pic.path().extension() == ".png" && pic.path().stem().string().starts_with(p.id + "-"))
          p.picture = pic.path();
      presets_.push_back(p);
    }
    std::sort(presets_.begin(), presets_.end(),
              [](const auto& a, const auto& b) { return a.id < b.id; });
    if (sceneFile) {
      sceneName_ = fs::path(*sceneFile).stem().string();
      scenes_[sceneName_] = *sceneFile;
    }
    device_.emplace(root_, readScene(sceneFile));
  }

  const std::vector<GalleryPreset>& presets() const { return presets_; }
  PanelDevice& device() { return *device_; }

  // Publishes the state's number when what the device shows or the stored settings
  // changed; answers the current number.
  uint64_t publishIfChanged(panel::Broadcast& events) {
    const std::string now = device_->shown() + "\n" + storedText();
    if (now != shown_) {
      shown_ = now;
      ++version_;
      events.publish(compactJson(Json{{"version", version_}}));
    }
    return version_;
  }

  Reply handle(const Request& r) {
    Reply reply = route(r);
    // A change is published before its answer, so the answer names the state it made.
    if (r.method == "POST" && events_) {
      device_->catchUp();
      publishIfChanged(*events_);
    }
    reply.headers["X-Panel-Version"] = std::to_string(version_);
    return reply;
  }
  void setEvents(panel::Broadcast& events) { events_ = &events; }

 private:
  Reply route(const Request& r) {
    Json body;
    if (r.method == "POST" && !r.body.empty() && !r.path.starts_with("/api/preset/upload")) {
      body = Json::parse(r.body, nullptr, false);
      if (body.is_discarded() || !body.is_object())
        return problem(400, "the request is no JSON object");
    }
    if (r.method == "GET" && r.path == "/api/state") return json(state());
    if (r.method == "GET" && r.path == "/api/picture") return picture(r);
    if (r.method == "GET" && r.path == "/api/export") return exportLook();
    if (r.method != "POST") return problem(404, "no such request: " + r.method + " " + r.path);
    if (r.path == "/api/set") return set(body);
    if (r.path == "/api/reset") return reset(body);
    if (r.path == "/api/undo") return undo();
    if (r.path == "/api/notify") return notify(body);
    if (r.path == "/api/scene") return chooseScene(body);
    if (r.path == "/api/preset/apply") return applyGallery(body);
    if (r.path == "/api/preset/upload/check") return upload(r.body, false);
    if (r.path == "/api/preset/upload/apply") return upload(r.body, true);
    return problem(404, "no such request: POST " + r.path);
  }

  std::string storedText() {
    std::string text;
    for (const std::string& key : device_->store().storedKeys())
      if (auto value = storedSetting(device_->store(), key))
        text += key + "=" + prefs::display(*value) + "\n";
    return text;
  }

  Json state() {
    host::NSUserDefaults& store = device_->store();
    Json settings = Json::array();
    std::map<std::string, std::string> values;
    for (const prefs::Setting& s : prefs::schema())
      values[s.key] = prefs::display(effectiveSetting(store, s.key).value_or(s.defaultValue));
    for (const prefs::Setting& s : prefs::schema()) {
      static const char* forms[] = {"switch", "choice", "colour", "range"};
      Json item{{"key", s.key},
                {"label", s.label},
                {"description", s.description},
                {"surface", prefs::surfaceName(s.surface)},
                {"form", forms[static_cast<int>(s.form)]},
                {"choices", s.choices},
                {"takes", prefs::valuesTaken(s)},
                {"default", prefs::display(s.defaultValue)},
                {"value", values[s.key]},
                {"stored", store.isStored(s.key)}};
      if (s.form == prefs::Form::Range)
        item["least"] = s.least, item["most"] = s.most, item["unit"] = s.unit;
      if (auto stored = storedSetting(store, s.key))
        if (std::string why = prefs::check(s, *stored); !why.empty()) item["problem"] = why;
      if (auto text = fixedColour(values[s.key]))
        for (const std::string& back : backgroundsOf(s.key)) {
          if (auto background = fixedColour(values[back])) {
            const double ratio = contrast(*text, *background);
            if (ratio < kLeastContrast)
              item["contrast"] = {{"ratio", std::round(ratio * 100) / 100}, {"against", back}};
            break;
          }
          // A dominant background: the lowest contrast over the scene's notifications.
          if (values[back] != "dominant" || !back.starts_with("colorBackground")) continue;
          const std::string suffix = back.substr(std::string("colorBackground").size());
          double worst = kLeastContrast;
          std::string on;
          for (const auto& [id, colour] : computedBackgrounds(device_->surfaces(), suffix))
            if (const double ratio = contrast(*text, colour); ratio < worst) worst = ratio, on = id;
          if (!on.empty())
            item["contrast"] = {{"ratio", std::round(worst * 100) / 100},
                                {"against", back + " (dominant, on " + on + ")"}};
          break;
        }
      settings.push_back(item);
    }
    Json scenes = Json::array(), presets = Json::array(), surfaces = Json::array();
    for (const auto& [name, file] : scenes_) scenes.push_back(name);
    for (const auto& p : presets_) {
      PresetRead read = readPresetFile(p.file);
      presets.push_back({{"id", p.id},
                         {"name", read.preset ? read.preset->name : p.id},
                         {"description", read.preset ? read.preset->description : read.error},
                         {"picture", p.picture.empty() ? "" : "/preset-picture/" + p.id + ".png"}});
    }
    for (const auto& s : host::scene::withBulletins(device_->surfaces()))
      if (s.id) surfaces.push_back(*s.id);
    return {
        {"version", version_},           {"root", root_.string()},
        {"scene", sceneName_},           {"scenes", scenes},
        {"surfaces", surfaces},          {"presets", presets},
        {"undo", undo_.size()},          {"fileProblem", store.readable() ? "" : store.problem()},
        {"testRequests", kTestRequests}, {"settings", settings}};
  }

  Reply picture(const Request& r) {
    auto param = [&](const std::string& name, const std::string& otherwise) {
      auto it = r.params.find(name);
      return it == r.params.end() ? otherwise : it->second;
    };
    const std::string screen = param("screen", "all"), appearance = param("appearance", "scene");
    const std::string surface = param("surface", "");
    double scale = 1;
    try {
      scale = std::stod(param("scale", "1"));
    } catch (const std::exception&) {
      return problem(400, "the scale is no number");
    }
    if (!(scale >= 0.1 && scale <= 3)) return problem(400, "the scale must be from 0.1 to 3");
    static const std::map<std::string, host::ScreenChoice> choices = {
        {"all", host::ScreenChoice::All},
        {"lockscreen", host::ScreenChoice::Lockscreen},
        {"home", host::ScreenChoice::Home},
        {"today", host::ScreenChoice::Today},
        {"surface", host::ScreenChoice::All}};
    auto choice = choices.find(screen);
    if (choice == choices.end()) return problem(400, "no such screen: " + screen);
    using Style = host::Device::InterfaceStyle;
    std::vector<Style> styles;
    if (appearance == "scene")
      styles = {device_->scene().device.interfaceStyle};
    else if (appearance == "light")
      styles = {Style::Light};
    else if (appearance == "dark")
      styles = {Style::Dark};
    else if (appearance == "both")
      styles = {Style::Light, Style::Dark};
    else
      return problem(400, "no such appearance: " + appearance);
    std::vector<host::SurfacePtr> pictures;
    try {
      for (Style style : styles)
        pictures.push_back(
            device_->draw(style, choice->second, screen == "surface" ? surface : "", scale));
    } catch (const ToolError& e) {
      device_->restoreStyle();
      return problem(e.exitCode() == 2 ? 404 : 500, e.what());
    }
    device_->restoreStyle();
    host::SurfacePtr joined =
        pictures.size() == 1 ? std::move(pictures.front()) : sideBySide(pictures, scale);
    rt::Ref<host::CGImage> image = host::CGImage::fromSurface(std::move(joined));
    if (!image) return problem(500, "the picture is too large to encode");
    const std::vector<uint8_t> png = host::encodePNG(*image, host::PngSize::Small);
    return {200, "image/png", std::string(png.begin(), png.end()), {}};
  }

  // The stored values of the keys before a change, for its undo.
  UndoEntry before(const std::vector<std::string>& keys) {
    UndoEntry entry;
    for (const std::string& key : keys) entry.push_back({key, device_->store().storedValue(key)});
    return entry;
  }
  void remember(UndoEntry entry) {
    undo_.push_back(std::move(entry));
    if (undo_.size() > kUndoDepth) undo_.erase(undo_.begin());
  }

  Reply set(const Json& body) {
    if (!body.contains("key") || !body["key"].is_string() || !body.contains("value"))
      return problem(400, "a change names a key and a value");
    const std::string key = body["key"];
    const Json& v = body["value"];
    prefs::Value value;
    if (v.is_boolean())
      value = v.get<bool>();
    else if (v.is_number_integer())
      value = v.get<int64_t>();
    else if (v.is_string())
      value = v.get<std::string>();
    else
      return json(
          {{"status", "refused"}, {"message", "a value is true or false, a whole number or text"}});
    UndoEntry entry = before({key});
    const SettingWrite write = writeSetting(device_->store(), key, value, Force::No);
    static const char* names[] = {"written", "refused", "failed"};
    if (write.status == SettingWrite::Status::Written) {
      remember(std::move(entry));
      device_->layOut();
    }
    return json({{"status", names[static_cast<int>(write.status)]}, {"message", write.message}});
  }

  // Writes the changes in one locked, atomic write; their undo is remembered.
  Reply writeAll(const std::vector<host::DefaultsChange>& changes, bool remembered = true) {
    std::vector<std::string> keys;
    for (const auto& c : changes) keys.push_back(c.key);
    UndoEntry entry = before(keys);
    if (host::WriteResult result = device_->store().write(changes); !result)
      return json({{"status", "failed"}, {"message", result.error}});
    if (remembered) remember(std::move(entry));
    device_->layOut();
    return json({{"status", "written"}, {"message", ""}});
  }

  Reply reset(const Json& body) {
    std::vector<host::DefaultsChange> changes;
    if (body.contains("key") && body["key"].is_string()) {
      if (!prefs::findSetting(body["key"].get<std::string>()))
        return problem(400, prefs::unknownKeyMessage(body["key"].get<std::string>()));
      changes.push_back({body["key"], nullptr});
    } else if (body.contains("surface") && body["surface"].is_string()) {
      auto surface = prefs::surfaceNamed(body["surface"].get<std::string>());
      if (!surface) return problem(400, "no such group: " + body["surface"].dump());
      for (const prefs::Setting& s : prefs::schema())
        if (s.surface == *surface && device_->store().isStored(s.key))
          changes.push_back({s.key, nullptr});
    } else {
      return problem(400, "a reset names a key or a surface");
    }
    return writeAll(changes);
  }

  Reply undo() {
    if (undo_.empty()) return json({{"status", "refused"}, {"message", "nothing to undo"}});
    UndoEntry entry = std::move(undo_.back());
    undo_.pop_back();
    return writeAll(entry, false);
  }

  Reply notify(const Json& body) {
    const std::string name = textOf(body, "name");
    if (std::find(kTestRequests.begin(), kTestRequests.end(), name) == kTestRequests.end())
      return problem(400, "the panel posts only the two test requests");
    std::cout << wallClock() << " darwin " << name << std::endl;
    device_->post(name);
    return json({{"status", "posted"}});
  }

  Reply chooseScene(const Json& body) {
    const std::string name = textOf(body, "scene");
    auto it = scenes_.find(name);
    if (it == scenes_.end()) return problem(400, "no such scene: " + name);
    host::scene::Scene scene = readScene(it->second.string());
    const host::scene::Scene previous = device_->scene();
    device_.reset();
    try {
      device_.emplace(root_, std::move(scene));
    } catch (const ToolError& e) {
      // A scene whose device cannot be built leaves the one shown before.
      device_.emplace(root_, previous);
      return problem(400, e.what());
    }
    sceneName_ = name;
    std::cout << wallClock() << " scene " << it->second.string() << std::endl;
    return json({{"status", "shown"}});
  }

  Reply applyPreset(const Preset& preset, bool apply, Replace replace) {
    std::vector<std::string> errors = checkPreset(preset, Force::No);
    if (!errors.empty()) return json({{"status", "refused"}, {"errors", errors}});
    ImportPlan plan = planImport(device_->store(), preset, {}, replace);
    Json lines = Json::array();
    for (const auto& l : plan.lines)
      lines.push_back({{"key", l.key}, {"before", l.before}, {"after", l.after}});
    if (!apply)
      return json({{"status", "checked"},
                   {"name", preset.name},
                   {"description", preset.description},
                   {"changes", lines}});
    Reply written = writeAll(plan.writes);
    if (written.status == 200) {
      Json result = Json::parse(written.body);
      result["changes"] = lines;
      return json(result);
    }
    return written;
  }

  Reply applyGallery(const Json& body) {
    const std::string id = textOf(body, "id");
    auto it =
        std::find_if(presets_.begin(), presets_.end(), [&](const auto& p) { return p.id == id; });
    if (it == presets_.end()) return problem(400, "no such preset: " + id);
    PresetRead read = readPresetFile(it->file);
    if (!read.preset) return json({{"status", "refused"}, {"errors", {read.error}}});
    // A look of the gallery replaces the surfaces it covers, so the result is its picture.
    return applyPreset(*read.preset, true, Replace::Yes);
  }

  Reply upload(const std::string& bytes, bool apply) {
    PresetRead read = parsePreset(bytes);
    if (!read.preset) return json({{"status", "refused"}, {"errors", {read.error}}});
    return applyPreset(*read.preset, apply, Replace::No);
  }

  Reply exportLook() {
    Preset preset = exportPreset(device_->store(), {});
    preset.name = "My look";
    preset.description = "Exported from lumora panel";
    return {200,
            "application/json",
            presetBytes(preset, PresetFormat::Json),
            {{"Content-Disposition", "attachment; filename=\"my-look.json\""}}};
  }

  fs::path root_;
  std::map<std::string, fs::path> scenes_;
  std::string sceneName_ = "builtin";
  std::vector<GalleryPreset> presets_;
  std::optional<PanelDevice> device_;
  std::vector<UndoEntry> undo_;
  std::string shown_;
  uint64_t version_ = 0;
  panel::Broadcast* events_ = nullptr;
};

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void runPanel(const GlobalOptions& global, const PanelOptions& options) {
  StopSignals signals;
  ::signal(SIGPIPE, SIG_IGN);
  const fs::path root = deviceRoot(global);
  const std::string source = readScene(options.scene).source;
  RunLock lock(root, "lumora panel, pid " + std::to_string(::getpid()) + ", started at " +
                         wallClock() + " with " + source);
  DarwinSocket socket(root);
  PrefsWatch watch(root / "var/mobile/Library/Preferences" /
                   (std::string(prefs::kSuiteName) + ".plist"));
  Panel panel(root, LUMORA_TREE, options.scene);
  watch.changed();
  panel::MainThreadQueue queue;
  panel::Broadcast events;
  panel.setEvents(events);
  panel.publishIfChanged(events);

  std::map<std::string, panel::Server::File> files = {
      {"/", {"text/html; charset=utf-8", std::string(panel::files::index_html)}},
      {"/panel.css", {"text/css; charset=utf-8", std::string(panel::files::panel_css)}},
      {"/panel.js", {"text/javascript; charset=utf-8", std::string(panel::files::panel_js)}}};
  for (const GalleryPreset& p : panel.presets())
    if (!p.picture.empty())
      files["/preset-picture/" + p.id + ".png"] = {"image/png", fileBytes(p.picture)};
  panel::Server server(
      options.port, std::move(files), [&panel](const Request& r) { return panel.handle(r); }, queue,
      events);
  std::cout << wallClock() << " lumora panel: " << source << " on " << root.string() << "; open "
            << server.address() << " ; stop with Ctrl-C" << std::endl;

  for (;;) {
    pollfd fds[] = {{signals.fd(), POLLIN, 0},
                    {watch.fd(), POLLIN, 0},
                    {socket.fd(), POLLIN, 0},
                    {queue.fd(), POLLIN, 0}};
    if (::poll(fds, 4, panel.device().idleTimeout()) < 0 && errno != EINTR)
      throw ToolError(std::string("waiting for events failed: ") + std::strerror(errno));
    if (fds[0].revents & POLLIN) {
      const int signal = signals.received();
      std::cout << wallClock() << " stopping on " << (signal == SIGINT ? "SIGINT" : "SIGTERM")
                << std::endl;
      break;
    }
    panel.device().catchUp();
    if ((fds[1].revents & POLLIN) && watch.changed()) panel.device().layOut();
    if (fds[2].revents & POLLIN)
      while (std::optional<std::string> name = socket.receive()) {
        panel.device().post(*name);
        socket.answer("ok");
      }
    if (fds[3].revents & POLLIN) queue.runWaiting();
    panel.device().catchUp();
    panel.publishIfChanged(events);
  }
  server.stop();
}

}  // namespace

void addPanelCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<PanelOptions>();
  CLI::App* cmd = app.add_subcommand(
      "panel", "the settings in a web page beside a live picture of the device, until Ctrl-C");
  cmd->add_option("--scene", options->scene,
                  "scene file shown first (default: the built-in scene); the page offers "
                  "every scene of scenes/");
  cmd->add_option("--port", options->port,
                  "port on 127.0.0.1 to listen on (default: 0, any free port)");
  cmd->footer(
      "Prints the address to open, with its token. The device runs on the device root as "
      "under lumora run (one of the two at a time); lumora notify NAME reaches it too.");
  cmd->callback([options, &global] { runPanel(global, *options); });
}

}  // namespace tool
