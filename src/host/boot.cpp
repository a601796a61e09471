#include "host/host.h"

#include "host/foundation/base64.h"
#include "host/foundation/darwin_notify.h"
#include "host/foundation/file_manager.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/notification_center.h"
#include "host/foundation/scanner.h"
#include "host/foundation/user_defaults.h"
#include "host/foundation/values.h"
#include "host/springboard/notification_views.h"
#include "host/springboard/widgets_media.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/view.h"

namespace host {
namespace {

struct HostState {
  bool booted = false;
  HostOptions options;
  std::set<std::string> skipped;
};

HostState& state() {
  static HostState s;
  return s;
}

}  // namespace

void boot(const HostOptions& options) {
  HostState& s = state();
  if (s.booted) throw rt::ProgrammingError("host::boot: the host is already booted");
  s.options = options;
  s.booted = true;
  registerFoundationValues();
  registerNotificationCenter();
  registerFileManager();
  registerUserDefaults();
  registerNSScanner();
  registerNSDataBase64();
  registerUIColor();
  registerUIImage();
  // User defaults catch up with other processes' writes before queued work runs.
  main_queue::setBeforeBatch(&pickUpExternalDefaultsChanges);
  registerViews();
  registerNotificationViews();
  registerWidgetsAndMedia();
}

void reset() {
  HostState& s = state();
  main_queue::reset();
  darwin_notify::reset();
  resetNotificationCenter();
  resetFileManager();
  resetUserDefaults();
  rt::objc_disposeAllClasses();
  s = HostState{};
}

bool isBooted() {
  return state().booted;
}

const std::filesystem::path& deviceRoot() {
  return state().options.root;
}

std::filesystem::path devicePath(std::string_view absolutePath) {
  std::filesystem::path relative(absolutePath);
  return deviceRoot() / relative.relative_path();
}

rt::Class defineClass(std::string_view name, rt::Class superclass, rt::Factory factory) {
  HostState& s = state();
  if (s.options.absentClasses.count(std::string(name)) || !superclass) {
    s.skipped.insert(std::string(name));
    return nullptr;
  }
  return rt::objc_registerClass(name, superclass, std::move(factory));
}

const std::set<std::string>& absentClasses() {
  return state().options.absentClasses;
}
const std::set<std::string>& skippedClasses() {
  return state().skipped;
}

}  // namespace host
