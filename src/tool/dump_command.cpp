// lumora dump: builds the device a scene describes, loads the system, plays the scene's
// timeline on the virtual clock and prints the laid-out view tree as JSON.
#include <algorithm>
#include <iostream>

#include "host/scene/dump.h"
#include "media/media_globals.h"
#include "tool/commands.h"
#include "tool/output.h"
#include "tool/scene_session.h"

namespace tool {
namespace {

struct DumpOptions {
  std::optional<std::string> scene;
  std::optional<double> at;
  bool pretty = false;
};

void runDump(const GlobalOptions& global, const DumpOptions& options) {
  host::scene::Json out;
  {
    SceneSession session(global, options.scene);
    out = dumpOf(session.run(options.at));
  }
  writeStandardOutput(
      out.dump(options.pretty ? 2 : -1, ' ', false, host::scene::Json::error_handler_t::replace) +
      "\n");
}

}  // namespace

void addDumpCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* cmd = app.add_subcommand(
      "dump", "build a scene's device, load the system and print the laid-out views as JSON");
  addSceneOptions(*cmd, options->scene, options->at);
  cmd->add_flag("--pretty", options->pretty, "indent the JSON");
  cmd->footer("The scene and dump formats are described in docs/scenes.md.");
  cmd->callback([options, &global] { runDump(global, *options); });
}

}  // namespace tool
