#include "host/scene/scene_file.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "host/foundation/file_io.h"
#include "host/quartz/image_codec.h"
#include "host/scene/builtin_scene.h"
#include "host/scene/json_reader.h"

namespace host::scene {
namespace {

namespace fs = std::filesystem;

// Reads one scene: each reader checks its part and fails with the path of the fault.
class Reader : public JsonReader {
 public:
  Reader(std::string source, fs::path folder)
      : JsonReader(std::move(source)), folder_(std::move(folder)) {}

  Picture::Rgb colour(const Json& value, const std::string& path) const {
    const std::string* text = value.is_string() ? &value.get_ref<const std::string&>() : nullptr;
    auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (!text || text->size() != 7 || (*text)[0] != '#' ||
        !std::all_of(text->begin() + 1, text->end(), hex))
      expected(path, "a colour \"#RRGGBB\"", &value);
    Picture::Rgb rgb;
    for (size_t i = 0; i < 3; ++i)
      rgb[i] = static_cast<uint8_t>(std::stoi(text->substr(1 + 2 * i, 2), nullptr, 16));
    return rgb;
  }

  Picture picture(const Json& value, const std::string& path) const {
    static const char* kWhat =
        "a picture: {\"colour\": \"#RRGGBB\"}, {\"gradient\": [\"#RRGGBB\", \"#RRGGBB\"], "
        "\"glyph\": TEXT} or {\"file\": PATH}";
    if (!value.is_object()) expected(path, kWhat, &value);
    Picture picture;
    if (value.contains("colour")) {
      object(value, path, {"colour"});
      picture.colours.push_back(colour(value["colour"], member(path, "colour")));
    } else if (value.contains("gradient")) {
      object(value, path, {"gradient", "glyph"});
      picture.kind = Picture::Kind::Gradient;
      const Json& colours = value["gradient"];
      if (!colours.is_array() || colours.size() < 2)
        expected(member(path, "gradient"), "an array of two or more colours \"#RRGGBB\"", &colours);
      atMost(colours.size(), kMaxGradientColours, member(path, "gradient"), "colours");
      for (size_t i = 0; i < colours.size(); ++i)
        picture.colours.push_back(colour(colours[i], element(member(path, "gradient"), i)));
      picture.glyph = text(value, path, "glyph");
      // Strings read from JSON are valid UTF-8: count the bytes that start a character.
      if (std::count_if(picture.glyph.begin(), picture.glyph.end(),
                        [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }) > 4)
        expected(member(path, "glyph"), "at most 4 characters", &value["glyph"]);
    } else if (value.contains("file")) {
      object(value, path, {"file"});
      picture.kind = Picture::Kind::File;
      picture.file = text(value, path, "file", true);
      picture.contents = readPicture(picture.file, member(path, "file"));
    } else {
      expected(path, kWhat, &value);
    }
    return picture;
  }

  std::optional<Picture> optionalPicture(const Json& object, const std::string& path,
                                         const char* key) const {
    auto it = object.find(key);
    if (it == object.end()) return std::nullopt;
    return picture(*it, member(path, key));
  }

  // A file the scene names, relative to its folder, read once however often it is
  // named: a missing or unreadable file is a fault of the scene, and so are files beyond
  // the limits on bytes and pixels. Whether it holds an image is left to whoever uses it.
  std::shared_ptr<const PictureFile> readPicture(const std::string& name,
                                                 const std::string& path) const {
    const fs::path file = (folder_ / name).lexically_normal();
    std::shared_ptr<const PictureFile>& known = files_[file];
    const uint64_t room = kMaxPictureBytes - pictureBytes_;
    const std::string budget = "the picture files of a scene take at most " +
                               describeSize(kMaxPictureBytes) +
                               " in all, a file counted once for each use";
    if (!known) {
      FileContents contents = readRegularFile(file, std::min(room, kMaxImageFileBytes));
      if (contents.status == FileContents::Status::Missing)
        fail(path, "the file " + quote(name) + " does not exist (looked for " + file.string() +
                       "); expected a picture file, relative to the scene's folder");
      if (contents.status == FileContents::Status::Failed)
        fail(path, "the file " + quote(name) + " cannot be read: " + contents.error +
                       "; expected a picture file" +
                       (room < kMaxImageFileBytes ? " (" + budget + ")" : ""));
      const auto* bytes = reinterpret_cast<const uint8_t*>(contents.bytes.data());
      if (const auto size = imageSize({bytes, contents.bytes.size()})) {
        const int64_t pixels = int64_t{size->width} * size->height;
        const std::string picture = "the file " + quote(name) + " is a picture of " +
                                    std::to_string(size->width) + " x " +
                                    std::to_string(size->height) + " pixels";
        if (pixels > kMaxPicturePixels)
          fail(path, picture + ", more than the " + std::to_string(kMaxPicturePixels) +
                         " (4096 x 4096) a scene's picture may have; expected a smaller picture");
        if (pixels > kMaxScenePicturePixels - picturePixels_)
          fail(path, picture + "; with the scene's other pictures that is more than the " +
                         std::to_string(kMaxScenePicturePixels) +
                         " pixels a scene's pictures may have in all");
        picturePixels_ += pixels;
      }
      auto read = std::make_shared<PictureFile>();
      read->bytes = std::move(contents.bytes);
      known = std::move(read);
    }
    if (known->bytes.size() > room)
      fail(path, "the file " + quote(name) + " takes " + std::to_string(known->bytes.size()) +
                     " bytes once more, and " + budget + "; expected fewer or smaller pictures");
    pictureBytes_ += known->bytes.size();
    return known;
  }

  // The most items of a top-level list, and what they are.
  static std::pair<size_t, const char*> listLimit(std::string_view list) {
    if (list == "apps") return {kMaxApps, "apps"};
    if (list == "contacts") return {kMaxContacts, "contacts"};
    if (list == "appGroups") return {kMaxAppGroups, "app groups"};
    if (list == "notifications") return {kMaxNotifications, "notifications"};
    if (list == "widgets") return {kMaxWidgets, "widgets"};
    if (list == "timeline") return {kMaxTimelineEvents, "events"};
    return {kMaxSceneItems, "items"};
  }

  PreferenceValue preferenceValue(const Json& value, const std::string& path) const {
    if (value.is_boolean()) return value.get<bool>();
    if (value.is_number_integer() &&
        (!value.is_number_unsigned() || value.get<uint64_t>() <= INT64_MAX))
      return value.get<int64_t>();
    if (value.is_string()) {
      const std::string& text = value.get_ref<const std::string&>();
      if (text.find('\0') == std::string::npos) return text;
    }
    expected(path, "true, false, an integer or a string without NUL characters", &value);
  }

  // Settings, counted towards `written` (each is a synced write of the settings file).
  Preferences preferences(const Json& value, const std::string& path, size_t& written) const {
    if (!value.is_object()) expected(path, "an object of settings {KEY: VALUE}", &value);
    written += value.size();
    atMost(written, kMaxSettingsWritten, path, "settings written");
    Preferences out;
    for (const auto& [key, item] : value.items()) {
      if (key.empty() || key.find('\0') != std::string::npos)
        fail(member(path, key), "expected a setting name: non-empty, without NUL characters");
      out.emplace_back(key, preferenceValue(item, member(path, key)));
    }
    return out;
  }

  Device device(const Json& value) const {
    const std::string path = "device";
    object(value, path, {"layoutDirection", "interfaceStyle", "locked", "wallpaper", "clock"});
    Device d;
    d.layoutDirection = choice(value, path, "layoutDirection", {"ltr", "rtl"})
                            ? Device::LayoutDirection::RightToLeft
                            : Device::LayoutDirection::LeftToRight;
    d.interfaceStyle = choice(value, path, "interfaceStyle", {"light", "dark"})
                           ? Device::InterfaceStyle::Dark
                           : Device::InterfaceStyle::Light;
    d.locked = flag(value, path, "locked");
    if (value.contains("clock"))
      d.clock = clockFace(text(value, path, "clock"), member(path, "clock"));
    return d;
  }

  // "2026-12-07T09:41": a real date from 1900 to 2999 and a time of day.
  Device::ClockFace clockFace(const std::string& value, const std::string& path) const {
    int year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0;
    char end = 0;
    const bool read =
        value.size() == 16 && std::sscanf(value.c_str(), "%4d-%2u-%2uT%2u:%2u%c", &year, &month,
                                          &day, &hour, &minute, &end) == 5;
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                           std::chrono::day{day}};
    if (!read || !date.ok() || year < 1900 || year > 2999 || hour > 23 || minute > 59)
      fail(path,
           "expected a date and time such as \"2026-12-07T09:41\" (year-month-dayThour:minute)");
    return {year, month, day, hour, minute};
  }

  App app(const Json& value, const std::string& path) const {
    object(value, path,
           {"bundleIdentifier", "name", "type", "tags", "launchProhibited", "placeholder",
            "removedSystemApp", "icon"});
    App app;
    app.bundleIdentifier = text(value, path, "bundleIdentifier", true);
    app.name = text(value, path, "name");
    // Any text, as on the device; only "User" and "System" apps are eligible for tests.
    if (value.contains("type")) app.type = text(value, path, "type");
    if (const Json* tags = array(value, path, "tags")) {
      atMost(tags->size(), kMaxTags, member(path, "tags"), "tags");
      for (size_t i = 0; i < tags->size(); ++i) {
        const Json& tag = (*tags)[i];
        if (!tag.is_string()) expected(element(member(path, "tags"), i), "a string", &tag);
        app.tags.push_back(tag.get<std::string>());
      }
    }
    app.launchProhibited = flag(value, path, "launchProhibited");
    app.placeholder = flag(value, path, "placeholder");
    app.removedSystemApp = flag(value, path, "removedSystemApp");
    app.icon = optionalPicture(value, path, "icon");
    return app;
  }

  Contact contact(const Json& value, const std::string& path) const {
    object(value, path, {"identifier", "picture"});
    return {text(value, path, "identifier", true), optionalPicture(value, path, "picture")};
  }

  // A path inside a container: relative, without empty, "." or ".." parts.
  void checkRelativePath(const std::string& name, const std::string& path) const {
    bool fine = !name.empty() && name.front() != '/' && name.find('\0') == std::string::npos;
    for (size_t start = 0; fine && start <= name.size();) {
      size_t end = name.find('/', start);
      if (end == std::string::npos) end = name.size();
      const std::string_view part(name.data() + start, end - start);
      fine = !part.empty() && part != "." && part != "..";
      start = end + 1;
    }
    if (!fine)
      fail(path,
           "expected a path inside the container (relative, without empty, \".\" or "
           "\"..\" parts), got " +
               quote(name));
  }

  AppGroup appGroup(const Json& value, const std::string& path) const {
    object(value, path, {"identifier", "container", "files"});
    AppGroup group;
    group.identifier = text(value, path, "identifier", true);
    group.container = text(value, path, "container", true);
    if (group.container.find('/') != std::string::npos || group.container == "." ||
        group.container == "..")
      expected(member(path, "container"), "a folder name (without \"/\", not \".\" or \"..\")",
               &value["container"]);
    if (auto it = value.find("files"); it != value.end()) {
      const std::string at = member(path, "files");
      if (!it->is_object()) expected(at, "an object {RELATIVE_PATH: PICTURE}", &*it);
      groupFiles_ += it->size();
      atMost(groupFiles_, kMaxAppGroupFiles, at, "files in app groups");
      for (const auto& [name, item] : it->items()) {
        checkRelativePath(name, member(at, name));
        group.files.emplace_back(name, picture(item, member(at, name)));
      }
    }
    return group;
  }

  Notification notification(const Json& value, const std::string& path) const {
    object(value, path,
           {"id", "presentation", "section", "thread", "title", "subtitle", "message", "userInfo",
            "attachmentSymbol", "thumbnail", "stack", "options"});
    Notification n;
    if (value.contains("id")) n.id = text(value, path, "id", true);
    n.presentation = choice(value, path, "presentation", {"banner", "lockscreen"})
                         ? Notification::Presentation::Lockscreen
                         : Notification::Presentation::Banner;
    n.section = text(value, path, "section");
    n.thread = text(value, path, "thread");
    n.title = text(value, path, "title");
    n.subtitle = text(value, path, "subtitle");
    n.message = text(value, path, "message");
    if (auto it = value.find("userInfo"); it != value.end()) {
      if (!it->is_object()) expected(member(path, "userInfo"), "an object", &*it);
      checkUserInfo(*it, member(path, "userInfo"));
      n.userInfo = *it;
    }
    // Any name, as the platform takes: the model draws those it knows, others give nil.
    if (value.contains("attachmentSymbol"))
      n.attachmentSymbol = text(value, path, "attachmentSymbol");
    n.thumbnail = optionalPicture(value, path, "thumbnail");
    for (const char* lockscreenOnly : {"stack", "options"})
      if (value.contains(lockscreenOnly) &&
          n.presentation != Notification::Presentation::Lockscreen)
        fail(member(path, lockscreenOnly),
             "only lockscreen notifications have this; expected \"presentation\": "
             "\"lockscreen\" with it, or no " +
                 quote(lockscreenOnly));
    n.stack = text(value, path, "stack");
    n.options = flag(value, path, "options");
    return n;
  }

  // A number from `low` to `high`; `fallback` when the member is absent.
  double number(const Json& object, const std::string& path, const char* key, double low,
                double high, double fallback) const {
    auto it = object.find(key);
    if (it == object.end()) return fallback;
    if (!it->is_number() || !(it->get<double>() >= low) || !(it->get<double>() <= high)) {
      std::ostringstream range;
      range << "a number from " << low << " to " << high;
      expected(member(path, key), range.str(), &*it);
    }
    return it->get<double>();
  }

  Widget widget(const Json& value, const std::string& path) const {
    object(value, path, {"id", "name", "icon", "iconDelay", "contentHeight"});
    Widget w;
    w.id = text(value, path, "id", true);
    w.name = text(value, path, "name");
    w.icon = optionalPicture(value, path, "icon");
    w.iconDelay = number(value, path, "iconDelay", 0, kMaxSceneSeconds, w.iconDelay);
    w.contentHeight =
        number(value, path, "contentHeight", 0, kMaxWidgetContentHeight, w.contentHeight);
    return w;
  }

  // User info is handed over as it is; only null has no value to stand for it.
  void checkUserInfo(const Json& value, const std::string& path) const {
    if (value.is_null()) expected(path, "a string, number, boolean, array or object", &value);
    if (value.is_object())
      for (const auto& [key, item] : value.items()) checkUserInfo(item, member(path, key));
    if (value.is_array())
      for (size_t i = 0; i < value.size(); ++i) checkUserInfo(value[i], element(path, i));
  }

  // A track, or nothing for null (nothing plays).
  std::optional<Track> track(const Json& value, const std::string& path) const {
    if (value.is_null()) return std::nullopt;
    if (!value.is_object())
      expected(path, "a track {\"title\", \"artist\", \"artwork\": PICTURE} or null", &value);
    object(value, path, {"title", "artist", "artwork"});
    return Track{text(value, path, "title"), text(value, path, "artist"),
                 optionalPicture(value, path, "artwork")};
  }

  ColorFlow colorFlow(const Json& value) const {
    const std::string path = "colorFlow";
    object(value, path,
           {"installed", "lockScreenEnabled", "lockScreenFullScreenEnabled", "secondaryColor"});
    ColorFlow c;
    c.installed = !value.contains("installed") || flag(value, path, "installed");
    c.lockScreenEnabled = flag(value, path, "lockScreenEnabled");
    c.lockScreenFullScreenEnabled = flag(value, path, "lockScreenFullScreenEnabled");
    if (auto it = value.find("secondaryColor"); it != value.end()) {
      if (it->is_null())
        c.secondaryColor.reset();
      else if (it->is_string())
        c.secondaryColor = colour(*it, member(path, "secondaryColor"));
      else
        expected(member(path, "secondaryColor"), "a colour \"#RRGGBB\" or null", &*it);
    }
    return c;
  }

  TimelineEvent event(const Json& value, const std::string& path) const {
    object(value, path,
           {"at", "set", "delete", "darwin", "layout", "widgetIcon", "track", "lock", "unlock"});
    TimelineEvent e;
    auto at = value.find("at");
    if (at == value.end() || !at->is_number() || !(at->get<double>() >= 0) ||
        !(at->get<double>() <= kMaxSceneSeconds))
      expected(member(path, "at"), "a number of seconds from 0 to 86400",
               at == value.end() ? nullptr : &*at);
    e.at = at->get<double>();
    std::vector<std::string> kinds;
    for (const char* kind :
         {"set", "delete", "darwin", "layout", "widgetIcon", "track", "lock", "unlock"})
      if (value.contains(kind)) kinds.push_back(quote(kind));
    if (kinds.size() != 1)
      fail(path,
           "expected one of \"set\", \"delete\", \"darwin\", \"layout\", \"widgetIcon\", "
           "\"track\", \"lock\" or \"unlock\" besides \"at\", got " +
               (kinds.empty() ? std::string("none") : kinds[0] + " and " + kinds[1]));
    if (value.contains("set")) {
      e.kind = TimelineEvent::Kind::Set;
      e.set = preferences(value["set"], member(path, "set"), timelineSettings_);
    } else if (const Json* keys = array(value, path, "delete")) {
      e.kind = TimelineEvent::Kind::Delete;
      timelineSettings_ += keys->size();
      atMost(timelineSettings_, kMaxSettingsWritten, member(path, "delete"), "settings written");
      for (size_t i = 0; i < keys->size(); ++i) {
        const Json& key = (*keys)[i];
        if (!key.is_string() || key.get_ref<const std::string&>().empty())
          expected(element(member(path, "delete"), i), "a setting name", &key);
        e.keys.push_back(key.get<std::string>());
      }
    } else if (value.contains("widgetIcon")) {
      const std::string at = member(path, "widgetIcon");
      const Json& icon = object(value["widgetIcon"], at, {"id", "icon"});
      e.kind = TimelineEvent::Kind::WidgetIcon;
      e.name = text(icon, at, "id", true);
      if (!icon.contains("icon"))
        expected(member(at, "icon"), "a picture (it is required)", nullptr);
      e.icon = picture(icon["icon"], member(at, "icon"));
    } else if (value.contains("darwin")) {
      e.kind = TimelineEvent::Kind::Darwin;
      e.name = text(value, path, "darwin", true);
    } else if (value.contains("track")) {
      e.kind = TimelineEvent::Kind::Track;
      e.track = track(value["track"], member(path, "track"));
    } else if (value.contains("lock") || value.contains("unlock")) {
      const char* kind = value.contains("lock") ? "lock" : "unlock";
      e.kind = value.contains("lock") ? TimelineEvent::Kind::Lock : TimelineEvent::Kind::Unlock;
      if (value[kind] != true) expected(member(path, kind), "true", &value[kind]);
    } else {
      e.kind = TimelineEvent::Kind::Layout;
      if (value["layout"] != true) expected(member(path, "layout"), "true", &value["layout"]);
    }
    return e;
  }

  // Each item of an optional top-level array, read by `read` (the parser has held the
  // array to its limit).
  template <class T, class F>
  std::vector<T> list(const Json& root, const char* key, F read) const {
    std::vector<T> out;
    if (const Json* items = array(root, "", key))
      for (size_t i = 0; i < items->size(); ++i)
        out.push_back((this->*read)((*items)[i], element(key, i)));
    return out;
  }

  // Two items naming the same thing would leave one of them unreachable. `values` holds
  // each item's index in the list and its value.
  void unique(const char* listName, const char* field,
              const std::vector<std::pair<size_t, std::string>>& values) const {
    std::map<std::string, size_t> seen;
    for (const auto& [index, value] : values)
      if (auto [it, fresh] = seen.emplace(value, index); !fresh)
        fail(member(element(listName, index), field), "expected a value no other item has, got " +
                                                          quote(value) + ", as " +
                                                          element(listName, it->second) + " has");
  }
  template <class T>
  void unique(const std::vector<T>& items, const char* listName, const char* field,
              std::string T::*key) const {
    std::vector<std::pair<size_t, std::string>> values;
    for (size_t i = 0; i < items.size(); ++i) values.emplace_back(i, items[i].*key);
    unique(listName, field, values);
  }

  Scene scene(const Json& root) const {
    object(root, "",
           {"description", "device", "preferences", "apps", "contacts", "appGroups",
            "notifications", "widgets", "nowPlaying", "colorFlow", "timeline"});
    Scene s;
    s.source = source();
    text(root, "", "description");
    if (auto it = root.find("device"); it != root.end()) {
      s.device = device(*it);
      s.wallpaper = optionalPicture(*it, "device", "wallpaper");
    }
    size_t initialSettings = 0;
    if (auto it = root.find("preferences"); it != root.end())
      s.preferences = preferences(*it, "preferences", initialSettings);
    s.apps = list<App>(root, "apps", &Reader::app);
    s.contacts = list<Contact>(root, "contacts", &Reader::contact);
    s.appGroups = list<AppGroup>(root, "appGroups", &Reader::appGroup);
    s.notifications = list<Notification>(root, "notifications", &Reader::notification);
    s.widgets = list<Widget>(root, "widgets", &Reader::widget);
    if (auto it = root.find("nowPlaying"); it != root.end())
      s.nowPlaying = track(*it, "nowPlaying");
    if (auto it = root.find("colorFlow"); it != root.end()) s.colorFlow = colorFlow(*it);
    s.timeline = list<TimelineEvent>(root, "timeline", &Reader::event);
    unique(s.apps, "apps", "bundleIdentifier", &App::bundleIdentifier);
    unique(s.contacts, "contacts", "identifier", &Contact::identifier);
    unique(s.appGroups, "appGroups", "container", &AppGroup::container);
    std::vector<std::pair<size_t, std::string>> ids;
    for (size_t i = 0; i < s.notifications.size(); ++i)
      if (s.notifications[i].id) ids.emplace_back(i, *s.notifications[i].id);
    unique("notifications", "id", ids);
    unique(s.widgets, "widgets", "id", &Widget::id);
    checkWidgetIds(s);
    return s;
  }

  // A widget's id names one surface, so no notification may have it; an icon event
  // names a widget of the scene.
  void checkWidgetIds(const Scene& s) const {
    for (size_t i = 0; i < s.widgets.size(); ++i)
      for (size_t j = 0; j < s.notifications.size(); ++j)
        if (s.notifications[j].id == s.widgets[i].id)
          fail(member(element("widgets", i), "id"), "expected a value no notification has, got " +
                                                        quote(s.widgets[i].id) + ", as " +
                                                        element("notifications", j) + " has");
    for (size_t i = 0; i < s.timeline.size(); ++i) {
      const TimelineEvent& e = s.timeline[i];
      if (e.kind != TimelineEvent::Kind::WidgetIcon) continue;
      bool known = false;
      for (const Widget& w : s.widgets) known = known || w.id == e.name;
      if (!known)
        fail(member(member(element("timeline", i), "widgetIcon"), "id"),
             "expected the id of one of the scene's widgets, got " + quote(e.name));
    }
  }

 private:
  fs::path folder_;
  // What the scene has taken so far: its picture files by path, their bytes (once for
  // each use) and pixels, the files in its app groups and the settings its timeline
  // writes.
  mutable std::map<fs::path, std::shared_ptr<const PictureFile>> files_;
  mutable uint64_t pictureBytes_ = 0;
  mutable int64_t picturePixels_ = 0;
  mutable size_t groupFiles_ = 0, timelineSettings_ = 0;
};

}  // namespace

Scene parseScene(std::string_view text, const std::string& source, const fs::path& folder) {
  Reader reader(source, folder);
  return reader.scene(reader.parse(text, kMaxSceneDepth, &Reader::listLimit));
}

Scene readSceneFile(const fs::path& file) {
  const FileContents contents = readRegularFile(file, kMaxSceneFileBytes);
  if (contents.status == FileContents::Status::Missing)
    throw SceneError(file.string() + ": no such scene file; give the path of a scene (see " +
                     "docs/scenes.md)");
  if (contents.status == FileContents::Status::Failed)
    throw SceneError(file.string() + ": cannot be read as a scene: " + contents.error);
  return parseScene(contents.bytes, file.string(), file.parent_path());
}

Scene builtInScene() {
  return parseScene(kBuiltInScene, "the built-in scene", {});
}

}  // namespace host::scene
