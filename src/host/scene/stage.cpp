#include "host/scene/stage.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/extension_standin/colorflow.h"
#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/user_defaults.h"
#include "host/scene/pictures.h"
#include "host/springboard/app_groups.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/media_player.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/springboard/widgets.h"
#include "host/uikit/symbols.h"

namespace host::scene {
namespace {

// Seconds of a scene as nanoseconds of the virtual clock.
uint64_t nanoseconds(double seconds) {
  return static_cast<uint64_t>(std::llround(seconds * NSEC_PER_SEC));
}

Ref<> objectFor(const PreferenceValue& value) {
  if (auto* b = std::get_if<bool>(&value)) return NSNumber::numberWithBool(*b);
  if (auto* i = std::get_if<int64_t>(&value)) return NSNumber::numberWithInteger(*i);
  return NSStr(std::get<std::string>(value));
}

// A notification's user info as the host holds it. The scene reader has refused null.
Ref<> objectFor(const Json& value) {
  switch (value.type()) {
    case Json::value_t::boolean:
      return NSNumber::numberWithBool(value.get<bool>());
    case Json::value_t::number_integer:
      return NSNumber::numberWithInteger(value.get<int64_t>());
    case Json::value_t::number_unsigned:
      if (value.get<uint64_t>() <= INT64_MAX)
        return NSNumber::numberWithInteger(value.get<int64_t>());
      return NSNumber::numberWithDouble(value.get<double>());
    case Json::value_t::number_float:
      return NSNumber::numberWithDouble(value.get<double>());
    case Json::value_t::string:
      return NSStr(value.get<std::string>());
    case Json::value_t::array: {
      std::vector<Ref<>> items;
      for (const Json& item : value) items.push_back(objectFor(item));
      return NSArray::make(std::move(items));
    }
    case Json::value_t::object: {
      Ref<NSDictionary> dictionary = NSDictionary::make();
      for (const auto& [key, item] : value.items())
        dictionary->setObject(objectFor(item).get(), NSStr(key).get());
      return dictionary;
    }
    default:
      return nullptr;
  }
}

// Writes (or, for nil, removes) one setting as a person does through the settings panel.
void store(NSUserDefaults& defaults, const std::string& key, id value) {
  if (WriteResult result = defaults.write(key, value); !result)
    throw DeviceError("cannot store the scene's setting \"" + key + "\": " + result.error);
}

void markForLayout(UIView* view) {
  if (!view) return;
  view->setNeedsLayout();
  for (const Ref<UIView>& child : view->subviewList()) markForLayout(child.get());
}

std::optional<now_playing::Track> playingTrack(const std::optional<Track>& track) {
  if (!track) return std::nullopt;
  return now_playing::Track{
      track->title, track->artist,
      track->artwork ? pictureBytes(*track->artwork) : std::vector<uint8_t>{}};
}

void play(const TimelineEvent& event, NSUserDefaults& defaults) {
  switch (event.kind) {
    case TimelineEvent::Kind::Set:
      for (const auto& [key, value] : event.set) store(defaults, key, objectFor(value).get());
      break;
    case TimelineEvent::Kind::Delete:
      for (const std::string& key : event.keys) store(defaults, key, nullptr);
      break;
    case TimelineEvent::Kind::Darwin:
      CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                           NSStr(event.name).get(), nullptr, nullptr, true);
      break;
    case TimelineEvent::Kind::WidgetIcon:  // played with its widget's controller
      break;
    case TimelineEvent::Kind::Layout:
      // Everything on screen lays out again at the end of this batch, as after a change
      // of the screen's traits.
      markEverythingForLayout();
      break;
    case TimelineEvent::Kind::Track:
      setNowPlaying(playingTrack(event.track));
      break;
    case TimelineEvent::Kind::Lock:
      lockDevice();
      break;
    case TimelineEvent::Kind::Unlock:
      unlockDevice();
      break;
  }
}

AppRecord appRecord(const App& app) {
  return {app.bundleIdentifier,
          app.name,
          app.type,
          app.tags,
          app.launchProhibited,
          app.placeholder,
          app.removedSystemApp,
          app.icon ? pictureImage(*app.icon) : nullptr};
}

Ref<> request(const Notification& n, Ref<> attachmentImage) {
  NotificationFields fields;
  fields.section = n.section;
  fields.thread = n.thread;
  fields.title = n.title;
  fields.subtitle = n.subtitle;
  fields.message = n.message;
  if (n.userInfo.is_object()) fields.userInfo = objectFor(n.userInfo);
  fields.attachmentImage = std::move(attachmentImage);
  if (n.thumbnail) fields.thumbnail = pictureImage(*n.thumbnail);
  return NCNotificationRequest::make(fields);
}

}  // namespace

// Everything on screen lays out again at the end of this batch, as after a change of the
// screen's traits.
void markEverythingForLayout() {
  for (const Ref<>& window : {bannerWindow(), lockscreenWindow(), todayWindow()})
    markForLayout(UIView::cls.cast(window.get()));
}

std::vector<Surface> buildDevice(const Scene& scene, const System& system) {
  Ref<NSUserDefaults> defaults = NSUserDefaults::cls.make();
  if (!defaults->initWithSuiteName(NSStr(system.preferenceSuite).get()))
    throw DeviceError("the preference suite \"" + system.preferenceSuite + "\" has no file name");
  for (const auto& [key, value] : scene.preferences) store(*defaults, key, objectFor(value).get());
  for (const App& app : scene.apps) installApp(appRecord(app));
  for (const Contact& contact : scene.contacts)
    addContact(contact.identifier,
               contact.picture ? pictureBytes(*contact.picture) : std::vector<uint8_t>{});
  for (const AppGroup& group : scene.appGroups) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& [path, picture] : group.files) files[path] = pictureBytes(picture);
    if (std::string error = createAppGroup(group.identifier, group.container, files);
        !error.empty())
      throw DeviceError("cannot create the app group \"" + group.identifier + "\": " + error);
  }
  if (scene.colorFlow.installed) {
    const ColorFlow& c = scene.colorFlow;
    colorflow::Settings settings{c.lockScreenEnabled, c.lockScreenFullScreenEnabled, std::nullopt};
    if (c.secondaryColor)
      settings.secondaryColor = {(*c.secondaryColor)[0] / 255.0, (*c.secondaryColor)[1] / 255.0,
                                 (*c.secondaryColor)[2] / 255.0, 1};
    if (std::string error = colorflow::install(settings); !error.empty())
      throw DeviceError("cannot install the other colouring extension: " + error);
  }
  if (system.start) system.start();

  std::vector<Surface> surfaces;
  bool lockscreen = false;
  for (const Notification& n : scene.notifications) {
    const Ref<> attachment = n.attachmentSymbol ? systemImageNamed(*n.attachmentSymbol) : nullptr;
    Ref<> r = request(n, attachment);
    if (n.presentation == Notification::Presentation::Banner) {
      surfaces.push_back({Surface::Kind::Banner, n.id, presentBanner(r.get())});
    } else {
      surfaces.push_back(
          {Surface::Kind::Lockscreen, n.id, showOnLockscreen(r.get(), n.stack, n.options)});
      lockscreen = true;
    }
    surfaces.back().attachmentSymbol = n.attachmentSymbol;
    surfaces.back().attachmentImage = attachment;
  }
  if (lockscreen)
    surfaces.push_back({Surface::Kind::List, std::nullopt, lockscreenListController()});
  std::map<std::string, Ref<>> widgets;
  for (const Widget& w : scene.widgets) {
    WidgetRecord record{w.id, w.name, w.icon ? pictureImage(*w.icon) : nullptr, w.iconDelay,
                        w.contentHeight};
    Ref<> controller = showWidget(record);
    widgets[w.id] = controller;
    surfaces.push_back({Surface::Kind::Widget, w.id, controller});
  }
  if (scene.nowPlaying) setNowPlaying(playingTrack(scene.nowPlaying));
  const bool plays =
      scene.nowPlaying || std::any_of(scene.timeline.begin(), scene.timeline.end(),
                                      [](const TimelineEvent& e) { return e.track.has_value(); });
  if (plays)
    surfaces.push_back({Surface::Kind::MediaPlayer, "mediaplayer", nullptr, mediaPlatter()});

  for (const TimelineEvent& event : scene.timeline) {
    const auto delay = static_cast<int64_t>(nanoseconds(event.at));
    dispatch_block_t block = [event, defaults] { play(event, *defaults); };
    if (event.kind == TimelineEvent::Kind::WidgetIcon)
      block = [controller = widgets[event.name], icon = pictureImage(event.icon)] {
        setWidgetIcon(controller.get(), icon.get());
      };
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, delay), dispatch_get_main_queue(),
                   std::move(block));
  }
  return surfaces;
}

double runClock(std::optional<double> seconds) {
  if (seconds) {
    const uint64_t end = nanoseconds(*seconds);
    main_queue::advance(end > main_queue::now() ? end - main_queue::now() : 0);
  } else {
    const uint64_t limit = nanoseconds(kMaxIdleSeconds);
    main_queue::drain();
    while (std::optional<uint64_t> due = main_queue::nextDueTime()) {
      const uint64_t to = std::min(*due, limit);
      main_queue::advance(to - std::min(to, main_queue::now()));
      if (to == limit) break;
    }
  }
  // Views marked by the last batch's own layout are laid out now.
  main_queue::drain();
  return static_cast<double>(main_queue::now()) / 1e9;
}

}  // namespace host::scene
