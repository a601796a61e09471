#include "host/host.h"

#include "host/class_list.h"
#include "host/extension_standin/colorflow.h"
#include "host/foundation/base64.h"
#include "host/foundation/darwin_notify.h"
#include "host/foundation/dictionary_file.h"
#include "host/foundation/file_manager.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/notification_center.h"
#include "host/foundation/random.h"
#include "host/foundation/scanner.h"
#include "host/foundation/user_defaults.h"
#include "host/foundation/values.h"
#include "host/quartz/cgcolor.h"
#include "host/quartz/cgimage.h"
#include "host/quartz/layer.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/media_player.h"
#include "host/springboard/notification_list.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/notification_views.h"
#include "host/springboard/platter_views.h"
#include "host/springboard/presentation.h"
#include "host/springboard/services.h"
#include "host/springboard/widgets.h"
#include "host/uikit/application.h"
#include "host/uikit/bezier_path.h"
#include "host/uikit/colour.h"
#include "host/uikit/image.h"
#include "host/uikit/image_view.h"
#include "host/uikit/label.h"
#include "host/uikit/material_view.h"
#include "host/uikit/symbols.h"
#include "host/uikit/view.h"
#include "host/uikit/view_controller.h"

namespace host {
namespace {

// One part of the host: the classes it defines and how it returns to its state before
// boot. `boot` and `reset` both walk this one list (reset in reverse).
struct HostModule {
  void (*define)(ClassList&);
  void (*reset)();
};

void resetMainQueue() {
  main_queue::reset();
  main_queue::setBeforeBatch(nullptr);
  main_queue::setAfterBatch(nullptr);
}

constexpr HostModule kModules[] = {
    {nullptr, resetMainQueue},
    {nullptr, darwin_notify::reset},
    {nullptr, random_source::reset},
    {defineFoundationValues, nullptr},
    {defineNSDataBase64, nullptr},
    {defineDictionaryFile, nullptr},
    {defineNSScanner, nullptr},
    {defineNotificationCenter, resetNotificationCenter},
    {defineFileManager, resetFileManager},
    {defineUserDefaults, resetUserDefaults},
    {defineCGColor, nullptr},
    {defineCGImage, nullptr},
    {defineLayers, nullptr},
    {defineUIColor, nullptr},
    {defineUIImage, nullptr},
    {defineSymbols, nullptr},
    {defineApplication, resetApplication},
    {defineBezierPath, nullptr},
    {defineViews, resetViews},
    {defineMaterialViews, nullptr},
    {defineLabels, nullptr},
    {defineImageViews, nullptr},
    {defineViewControllers, nullptr},
    {defineNotificationRequests, nullptr},
    {defineAppRegistry, resetAppRegistry},
    {definePlatterViews, nullptr},
    {defineNotificationViews, nullptr},
    {defineNotificationList, nullptr},
    {definePresentation, resetPresentation},
    {defineServices, resetServices},
    {defineBulletins, resetBulletins},
    {defineWidgets, resetWidgets},
    {defineMediaPlayer, resetMediaPlayer},
    {nullptr, colorflow::reset},
};

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
  ClassList classes;
  for (const HostModule& m : kModules)
    if (m.define) m.define(classes);
  classes.registerAll(s.options.absentClasses, s.skipped);
  // User defaults catch up with other processes' writes before queued work runs, and
  // the windows lay out what is marked after it.
  main_queue::setBeforeBatch(&pickUpExternalDefaultsChanges);
  main_queue::setAfterBatch(&layoutWindows);
}

void reset() {
  for (auto m = std::rbegin(kModules); m != std::rend(kModules); ++m)
    if (m->reset) m->reset();
  rt::objc_disposeAllClasses();
  state() = HostState{};
}

bool isBooted() {
  return state().booted;
}

const std::filesystem::path& deviceRoot() {
  return state().options.root;
}

const Device& device() {
  return state().options.device;
}

void setDeviceLocked(bool locked) {
  state().options.device.locked = locked;
}

void setDeviceInterfaceStyle(Device::InterfaceStyle style) {
  state().options.device.interfaceStyle = style;
}

std::filesystem::path devicePath(std::string_view absolutePath) {
  std::filesystem::path relative(absolutePath);
  return deviceRoot() / relative.relative_path();
}

bool isAbsentView(const std::string& ivarName) {
  return state().options.absentViews.contains(ivarName);
}

const std::set<std::string>& absentClasses() {
  return state().options.absentClasses;
}
const std::set<std::string>& skippedClasses() {
  return state().skipped;
}

}  // namespace host
