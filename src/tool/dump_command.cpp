// lumora dump: builds the device a scene describes, loads the system, plays the scene's
// timeline on the virtual clock and prints the laid-out view tree as JSON.
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/scene/dump.h"
#include "host/scene/scene_file.h"
#include "prefs/lumora_prefs.h"
#include "startup/added_classes.h"
#include "startup/loader.h"
#include "tool/commands.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

struct DumpOptions {
  std::optional<std::string> scene;
  std::optional<double> at;
  bool pretty = false;
};

fs::path preferenceFile(const fs::path& root) {
  return root / "var/mobile/Library/Preferences" / (std::string(prefs::kSuiteName) + ".plist");
}

// The device a dump builds lives in a folder of its own, removed afterwards, so the
// scene's files and settings never mix with the device root's and a dump changes
// nothing there. It starts from the device root's settings, so that what `lumora prefs
// set` stored shows in the dump; the scene's settings then go over them.
class ScratchRoot {
 public:
  explicit ScratchRoot(const fs::path& deviceRoot) {
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
  ~ScratchRoot() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchRoot(const ScratchRoot&) = delete;
  ScratchRoot& operator=(const ScratchRoot&) = delete;
  const fs::path& path() const { return path_; }

 private:
  void copySettings(const fs::path& from) {
    const host::FileContents contents = host::readRegularFile(from, host::kMaxPreferenceFileBytes);
    if (contents.status == host::FileContents::Status::Missing) return;
    std::string why = contents.error;
    if (why.empty() && !contents.bytes.empty())
      if (host::plist::Parsed parsed = host::plist::parse(contents.bytes); !parsed.root)
        why = parsed.error;
    if (why.empty()) why = host::replaceFile(preferenceFile(path_), contents.bytes);
    if (!why.empty())
      std::cerr << "lumora: warning: the settings in " << from.string()
                << " are left out of the dump (" << why << "); it starts from the defaults\n";
  }

  fs::path path_;
};

std::vector<std::string> addedPropertyGetters() {
  std::vector<std::string> getters;
  for (const lumora::AddedProperty& property : lumora::addedProperties())
    if (std::find(getters.begin(), getters.end(), property.getter) == getters.end())
      getters.push_back(property.getter);
  return getters;
}

void runDump(const GlobalOptions& global, const DumpOptions& options) {
  const fs::path root = deviceRoot(global);
  host::scene::Scene scene;
  try {
    scene =
        options.scene ? host::scene::readSceneFile(*options.scene) : host::scene::builtInScene();
  } catch (const host::scene::SceneError& e) {
    throw ToolError(e.what(), 2);
  }
  host::scene::Json out;
  {
    ScratchRoot scratch(root);
    HostSession session({scratch.path(), {}, scene.device});
    try {
      const auto surfaces =
          host::scene::buildDevice(scene, {prefs::kSuiteName, &lumora::loadSystem});
      host::scene::runClock(options.at);
      out = host::scene::dump(surfaces, {addedPropertyGetters()});
    } catch (const host::scene::DeviceError& e) {
      throw ToolError(scene.source + ": " + e.what());
    }
  }
  std::cout << out.dump(options.pretty ? 2 : -1, ' ', false,
                        host::scene::Json::error_handler_t::replace)
            << "\n";
}

}  // namespace

void addDumpCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* cmd = app.add_subcommand(
      "dump", "build a scene's device, load the system and print the laid-out views as JSON");
  cmd->add_option("--scene", options->scene,
                  "scene file (default: the built-in scene, scenes/builtin.json)");
  cmd->add_option("--at", options->at,
                  "run the virtual clock to this many seconds (default: until nothing is "
                  "pending, at most 10)")
      ->check(CLI::Range(0.0, host::scene::kMaxSceneSeconds));
  cmd->add_flag("--pretty", options->pretty, "indent the JSON");
  cmd->footer("The scene and dump formats are described in docs/scenes.md.");
  cmd->callback([options, &global] { runDump(global, *options); });
}

}  // namespace tool
