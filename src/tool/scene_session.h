// A scene's device for one command: the scene read (a bad scene is exit status 2), a
// scratch device root of its own seeded with the device root's settings, the host booted
// for the scene's device, the system loaded and the clock run.
#pragma once

#include <signal.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/render/render.h"
#include "host/render/screens.h"
#include "host/scene/scene.h"
#include "host/scene/stage.h"
#include "tool/commands.h"

namespace tool {

// The scene file, or the built-in scene without one; a scene that cannot be read is a
// ToolError with exit status 2.
host::scene::Scene readScene(const std::optional<std::string>& sceneFile);

// The --scene and --at options of the commands that show a scene.
void addSceneOptions(CLI::App& command, std::optional<std::string>& sceneFile,
                     std::optional<double>& at);

// The device a command builds lives in a folder of its own ($TMPDIR/lumora-dump-XXXXXX),
// removed afterwards, so the scene's files and settings never mix with the device
// root's and a command changes nothing there. It starts from the device root's
// settings, so that what `lumora prefs set` stored shows; the scene's settings then go
// over them. The folder is removed on SIGINT, SIGTERM and SIGHUP too (the process then
// ends by that signal); the folder holds a lock file for its life, so folders of
// processes killed otherwise are told from live ones and removed by the next command.
class ScratchRoot {
 public:
  explicit ScratchRoot(const std::filesystem::path& deviceRoot);
  ~ScratchRoot();
  ScratchRoot(const ScratchRoot&) = delete;
  ScratchRoot& operator=(const ScratchRoot&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  void copySettings(const std::filesystem::path& from);
  void watchSignals();
  std::filesystem::path path_;
  int lock_ = -1;
  int stop_ = -1;  // an eventfd that ends the signal watcher
  std::thread watcher_;
  sigset_t previousMask_{};
  bool masked_ = false;
};

// The dump of the device as it is now.
host::scene::Json dumpOf(const std::vector<host::scene::Surface>& surfaces);
// The scene's wallpaper picture, else the built-in gradient of its interface style (a
// picture that cannot be drawn is said once a process, on standard error).
host::Wallpaper wallpaperOf(const host::scene::Scene& scene);
// The drawing's notes on standard error, then the stored settings whose numbers are
// beyond any picture.
void printNotes(const host::RenderNotes& notes);
// The device's screens side by side (the lockscreen, with banners the home screen, with
// widgets the Today view), or a ToolError saying why they could not be drawn; the
// drawing's notes go to standard error when `notes` is set.
host::SurfacePtr screens(const host::scene::Scene& scene, double scale, bool notes = false);
// The same as PNG bytes, as `lumora preview` writes them.
std::vector<uint8_t> screensPNG(const host::scene::Scene& scene, double scale);
// Pictures side by side, the screens' gap between them, or a ToolError when they cannot
// be composed.
host::SurfacePtr sideBySide(const std::vector<host::SurfacePtr>& pictures, double scale);

// Prints, once each, the layout loops the host has seen (views laid out again and again
// with nothing changed from outside), as warnings on standard error.
void reportLayoutLoops();

class SceneSession {
 public:
  // `style` overrides the scene's interface style when given.
  SceneSession(const GlobalOptions& global, const std::optional<std::string>& sceneFile,
               std::optional<host::Device::InterfaceStyle> style = {});
  // Builds the device, loads the system and runs the clock to `at` (see runClock).
  std::vector<host::scene::Surface> run(std::optional<double> at);
  const host::scene::Scene& scene() const { return scene_; }

 private:
  host::scene::Scene scene_;
  ScratchRoot scratch_;
  HostSession host_;
};

}  // namespace tool
