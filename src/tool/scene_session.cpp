#include "tool/scene_session.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/scene/scene_file.h"
#include "host/uikit/view.h"
#include "prefs/lumora_prefs.h"
#include "startup/loader.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

fs::path preferenceFile(const fs::path& root) {
  return root / "var/mobile/Library/Preferences" / (std::string(prefs::kSuiteName) + ".plist");
}

}  // namespace

ScratchRoot::ScratchRoot(const fs::path& deviceRoot) {
  std::error_code error;
  const fs::path temporary = fs::temp_directory_path(error);
  std::string pattern = (temporary / "lumora-dump-XXXXXX").string();
  if (error || !::mkdtemp(pattern.data()))
    throw ToolError("cannot make a temporary folder for the scene's device in " +
                    (error ? std::string("$TMPDIR") : temporary.string()) + ": " +
                    (error ? error.message() : std::string(std::strerror(errno))) +
                    "; set TMPDIR to a writable folder");
  path_ = pattern;
  copySettings(preferenceFile(deviceRoot));
}

ScratchRoot::~ScratchRoot() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchRoot::copySettings(const fs::path& from) {
  const host::FileContents contents = host::readRegularFile(from, host::kMaxPreferenceFileBytes);
  if (contents.status == host::FileContents::Status::Missing) return;
  std::string why = contents.error;
  if (why.empty() && !contents.bytes.empty())
    if (host::plist::Parsed parsed = host::plist::parse(contents.bytes); !parsed.root)
      why = parsed.error;
  if (why.empty()) why = host::replaceFile(preferenceFile(path_), contents.bytes);
  if (!why.empty())
    std::cerr << "lumora: warning: the settings in " << from.string() << " are left out (" << why
              << "); the scene starts from the defaults\n";
}

void addSceneOptions(CLI::App& command, std::optional<std::string>& sceneFile,
                     std::optional<double>& at) {
  command.add_option("--scene", sceneFile,
                     "scene file (default: the built-in scene, scenes/builtin.json)");
  command
      .add_option("--at", at,
                  "run the virtual clock to this many seconds (default: until nothing is "
                  "pending, at most 10)")
      ->check(CLI::Range(0.0, host::scene::kMaxSceneSeconds));
}

host::scene::Scene readScene(const std::optional<std::string>& sceneFile) {
  try {
    return sceneFile ? host::scene::readSceneFile(*sceneFile) : host::scene::builtInScene();
  } catch (const host::scene::SceneError& e) {
    throw ToolError(e.what(), 2);
  }
}

namespace {
host::scene::Scene withStyle(host::scene::Scene scene,
                             std::optional<host::Device::InterfaceStyle> style) {
  if (style) scene.device.interfaceStyle = *style;
  return scene;
}
}  // namespace

void reportLayoutLoops() {
  static size_t reported = 0;
  const auto& loops = host::layoutLoops();
  if (loops.size() < reported) reported = 0;  // the host was booted again
  for (; reported < loops.size(); ++reported) {
    std::vector<std::string> views;
    for (const std::string& v : loops[reported].views)
      if (std::find(views.begin(), views.end(), v) == views.end()) views.push_back(v);
    std::string names;
    for (const std::string& v : views) names += (names.empty() ? "" : ", ") + v;
    std::cerr << "lumora: warning: the layout does not come to rest: " << names << " laid out "
              << loops[reported].passes << " passes in a row with nothing changed from outside\n";
  }
}

SceneSession::SceneSession(const GlobalOptions& global, const std::optional<std::string>& sceneFile,
                           std::optional<host::Device::InterfaceStyle> style)
    : scene_(withStyle(readScene(sceneFile), style)),
      scratch_(deviceRoot(global)),
      host_({scratch_.path(), {}, scene_.device}) {}

std::vector<host::scene::Surface> SceneSession::run(std::optional<double> at) {
  try {
    auto surfaces = host::scene::buildDevice(scene_, {prefs::kSuiteName, &lumora::loadSystem});
    host::scene::runClock(at);
    reportLayoutLoops();
    return surfaces;
  } catch (const host::scene::DeviceError& e) {
    throw ToolError(scene_.source + ": " + e.what());
  }
}

}  // namespace tool
