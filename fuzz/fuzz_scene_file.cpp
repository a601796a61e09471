// A scene file: any bytes as a scene's text. Checks: it is read into a scene or refused
// with a SceneError, nothing else; a scene that is read builds its device with the
// system loaded, plays its first two seconds and dumps without a fault (DeviceError is a
// fair refusal there: a setting the store declines). Each input boots a fresh host.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "host/host.h"
#include "host/scene/dump.h"
#include "host/scene/scene_file.h"
#include "host/scene/stage.h"
#include "prefs/lumora_prefs.h"
#include "startup/loader.h"

namespace {

namespace fs = std::filesystem;

// A folder for the scene's relative files (none exist, so a scene naming one is
// refused) and one for the device, in memory when there is room, removed at exit.
const fs::path& base() {
  static const fs::path path = [] {
    const fs::path parent =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (parent / "lumora-fuzz-scene-XXXXXX").string();
    if (!mkdtemp(pattern.data())) __builtin_trap();
    std::atexit([] { fs::remove_all(base()); });
    return fs::path(pattern);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  host::scene::Scene scene;
  try {
    scene = host::scene::parseScene(text, "fuzz.json", base());
  } catch (const host::scene::SceneError&) {
    return 0;
  }
  const fs::path root = base() / "device";
  fs::create_directories(root);
  host::boot({root, {}, scene.device});
  try {
    const auto surfaces = host::scene::buildDevice(scene, {prefs::kSuiteName, &lumora::loadSystem});
    host::scene::runClock(2);
    (void)host::scene::dump(surfaces, {});
  } catch (const host::scene::DeviceError&) {
  }
  lumora::resetProcess();
  fs::remove_all(root);
  return 0;
}
