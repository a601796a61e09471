// A scene: one device described in a JSON file (the format is in docs/scenes.md). This
// is the plain description a scene file reads into; scene_file.h reads and checks it,
// stage.h builds the device from it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "host/host.h"
#include "host/quartz/cgimage.h"

namespace host::scene {

using Json = nlohmann::ordered_json;

// A picture file's contents, read when the scene is read, once however often the scene
// names the file; decoded at most once (by pictureImage), so every use shares one image.
struct PictureFile {
  std::string bytes;
  mutable bool decoded = false;
  mutable Ref<CGImage> image;  // once decoded: the image, nil when the bytes hold none
};

// A picture: a plain colour, a gradient with an optional glyph drawn over it, or a file.
struct Picture {
  enum class Kind { Colour, Gradient, File };
  using Rgb = std::array<uint8_t, 3>;
  Kind kind = Kind::Colour;
  std::vector<Rgb> colours;  // one for a colour; two or more for a gradient, evenly spaced
  std::string glyph;         // text drawn over a gradient; may be empty
  std::string file;          // a file as the scene names it
  std::shared_ptr<const PictureFile> contents;  // a file's, shared by every use of it

  const std::string& bytes() const {
    static const std::string none;
    return contents ? contents->bytes : none;
  }
};

// A preference value as a scene gives it: a JSON boolean, integer or string.
using PreferenceValue = std::variant<bool, int64_t, std::string>;
using Preferences = std::vector<std::pair<std::string, PreferenceValue>>;

struct App {
  std::string bundleIdentifier, name;
  std::string type = "User";
  std::vector<std::string> tags;
  bool launchProhibited = false, placeholder = false, removedSystemApp = false;
  std::optional<Picture> icon;
};

struct Contact {
  std::string identifier;
  std::optional<Picture> picture;
};

struct AppGroup {
  std::string identifier, container;
  // Files by path relative to the container, in the scene's order.
  std::vector<std::pair<std::string, Picture>> files;
};

struct Notification {
  enum class Presentation { Banner, Lockscreen };
  std::optional<std::string> id;
  Presentation presentation = Presentation::Banner;
  std::string section, thread, title, subtitle, message;
  Json userInfo;                                // an object, or null when the scene gives none
  std::optional<std::string> attachmentSymbol;  // any name; nil from the model if unknown
  std::optional<Picture> thumbnail;
  std::string stack;  // lockscreen only: notifications of one stack form one group
  bool options = false;
};

// A widget of the Today view. Its icon arrives `iconDelay` seconds after it appears.
struct Widget {
  std::string id, name;
  std::optional<Picture> icon;
  double iconDelay = 0.1;
  double contentHeight = 114;
};

// A track the device plays, shown by the lockscreen's media player.
struct Track {
  std::string title, artist;
  std::optional<Picture> artwork;
};

// The other lockscreen colouring extension, when the scene installs it.
struct ColorFlow {
  bool installed = false;
  bool lockScreenEnabled = false, lockScreenFullScreenEnabled = false;
  // The colour it posts; none: its notification carries no colour.
  std::optional<Picture::Rgb> secondaryColor = Picture::Rgb{255, 255, 255};
};

// One event of the timeline, played at `at` seconds of virtual time.
struct TimelineEvent {
  enum class Kind { Set, Delete, Darwin, Layout, WidgetIcon, Track, Lock, Unlock };
  double at = 0;
  Kind kind = Kind::Layout;
  Preferences set;                // Set: the values written
  std::vector<std::string> keys;  // Delete: the keys removed
  std::string name;               // Darwin: the notification posted; WidgetIcon: the widget
  Picture icon;                   // WidgetIcon: the widget's new icon
  std::optional<Track> track;     // Track: the track that starts playing; none stops
};

struct Scene {
  // How messages name the scene: its file, or "the built-in scene".
  std::string source;
  Device device;
  std::optional<Picture> wallpaper;  // the device's wallpaper; none: the built-in gradient
  Preferences preferences;
  std::vector<App> apps;
  std::vector<Contact> contacts;
  std::vector<AppGroup> appGroups;
  std::vector<Notification> notifications;
  std::vector<Widget> widgets;
  std::optional<Track> nowPlaying;  // the track playing when the device is built
  ColorFlow colorFlow;
  std::vector<TimelineEvent> timeline;
};

}  // namespace host::scene
