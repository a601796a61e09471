// Booting and resetting the host model and the device root.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "runtime/runtime.h"

namespace host {

// The device the host runs on, as a scene describes it.
struct Device {
  enum class LayoutDirection { LeftToRight = 0, RightToLeft = 1 };
  enum class InterfaceStyle { Light = 1, Dark = 2 };
  LayoutDirection layoutDirection = LayoutDirection::LeftToRight;
  InterfaceStyle interfaceStyle = InterfaceStyle::Light;
  bool locked = false;
  // The date and time the screens show (the status bar, the lockscreen's clock), fixed
  // so that pictures repeat; the virtual clock of the main queue is another matter.
  struct ClockFace {
    int year = 2026;
    unsigned month = 12, day = 7, hour = 9, minute = 41;
  } clock;
  // The screen, in points, and its scale (pixels per point).
  double screenWidth = 375, screenHeight = 812, screenScale = 3;
};

struct HostOptions {
  HostOptions(std::filesystem::path root = {}, std::set<std::string> absentClasses = {},
              Device device = {})
      : root(std::move(root)), absentClasses(std::move(absentClasses)), device(device) {}
  // Every absolute device path resolves under this folder, never the real "/".
  std::filesystem::path root;
  // Classes this host lacks, as an older or newer host would; their subclasses are
  // absent too.
  std::set<std::string> absentClasses;
  Device device;
  // Subviews this host's views lack, named by the instance variable that holds them
  // ("_headerContentView", "_backgroundMaterialView", "_primaryLabel"...), as another
  // host version builds its views: the view is never made and the variable reads nil.
  std::set<std::string> absentViews;
};

// Registers every host class (but those left out) and sets the device root. The host
// must not be booted.
void boot(const HostOptions& options);
// Returns the host to its state before `boot`: queues, centres, defaults and timers
// emptied, every class unregistered. Objects still held by the caller must not be
// messaged afterwards: their classes no longer have methods.
void reset();
bool isBooted();

const std::filesystem::path& deviceRoot();
// The device the host was booted for (a default device before boot).
const Device& device();
// Whether the device is locked, as locking and unlocking change it (presentation.h's
// lockDevice and unlockDevice are what the host does).
void setDeviceLocked(bool locked);
// Switches the device between light and dark, as the settings panel's picture does to
// show both; views take it in on their next layout.
void setDeviceInterfaceStyle(Device::InterfaceStyle style);
// The file under the device root that stands for the absolute device path.
std::filesystem::path devicePath(std::string_view absolutePath);

// The classes the boot options left out.
const std::set<std::string>& absentClasses();
// Whether the boot options left out the subview held under this instance variable.
bool isAbsentView(const std::string& ivarName);
// The host classes that boot actually skipped (asked-for absent classes that the host
// has, and their subclasses), so a misspelt name can be reported.
const std::set<std::string>& skippedClasses();

}  // namespace host
