#include "host/extension_standin/colorflow.h"

#include "host/foundation/file_io.h"
#include "host/foundation/notification_center.h"
#include "host/foundation/now_playing.h"
#include "host/host.h"
#include "host/uikit/colour.h"

namespace host::colorflow {
namespace {

// The settings object; it also observes the now-playing service.
class CFWPrefsManager : public NSObject {
 public:
  static inline const rt::ClassOf<CFWPrefsManager> cls{"CFWPrefsManager"};
  bool lockScreenFullScreenEnabled() const { return settings.lockScreenFullScreenEnabled; }
  bool isLockScreenEnabled() const { return settings.lockScreenEnabled; }
  void nowPlayingInfoDidChange(id);
  Settings settings;
};

const rt::Sel<void(id)> nowPlayingDidChange{"cfw_nowPlayingInfoDidChange:"};

struct State {
  Ref<> shared;
  size_t posted = 0;
};
State& state() {
  static State s;
  return s;
}

void CFWPrefsManager::nowPlayingInfoDidChange(id) {
  if (!settings.lockScreenEnabled) return;
  const std::optional<std::array<double, 4>> colour = settings.secondaryColor;
  dispatch_async(dispatch_get_main_queue(), [colour] {
    Ref<> info = now_playing::currentInfo();
    if (!rt::send(info, sel::objectForKey, NSStr(kMRMediaRemoteNowPlayingInfoArtworkData))) return;
    Ref<NSDictionary> userInfo = NSDictionary::make();
    if (colour)
      userInfo->setObject(
          UIColor::make((*colour)[0], (*colour)[1], (*colour)[2], (*colour)[3]).get(),
          NSStr(kSecondaryColorKey).get());
    ++state().posted;
    rt::send(rt::send(cls::NSNotificationCenter, sel::defaultCenter),
             sel::postNotificationName_object_userInfo, NSStr(kColorizationNotification), nullptr,
             userInfo);
  });
}

}  // namespace

std::string install(const Settings& settings) {
  State& s = state();
  RT_ASSERT(!s.shared, "the colouring extension is installed once");
  if (std::string error = replaceFile(devicePath(kLibraryPath), "stand-in library\n");
      !error.empty())
    return error;
  rt::Class cls = rt::objc_registerClass(CFWPrefsManager::cls.name(), NSObject::cls.get(),
                                         [] { return std::make_shared<CFWPrefsManager>(); });
  RT_ASSERT(cls, "CFWPrefsManager is registered once");
  ClassBuilder<CFWPrefsManager> b(cls);
  b.classFunction(
       sel::sharedInstance, +[](id, rt::SEL) -> Ref<> { return state().shared; })
      .method<&CFWPrefsManager::lockScreenFullScreenEnabled>(sel::lockScreenFullScreenEnabled)
      .method<&CFWPrefsManager::isLockScreenEnabled>(sel::isLockScreenEnabled)
      .method<&CFWPrefsManager::nowPlayingInfoDidChange>(nowPlayingDidChange);
  s.shared = rt::send(cls, sel::new_);
  if (auto* manager = CFWPrefsManager::cls.cast(s.shared.get())) manager->settings = settings;
  rt::send(rt::send(cls::NSNotificationCenter, sel::defaultCenter),
           sel::addObserver_selector_name_object, s.shared, nowPlayingDidChange.get(),
           NSStr(kMRMediaRemoteNowPlayingInfoDidChangeNotification), nullptr);
  return {};
}

size_t postedCount() {
  return state().posted;
}

void reset() {
  state() = {};
}

}  // namespace host::colorflow
