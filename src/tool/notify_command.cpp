// lumora notify NAME: posts a Darwin notification to the `lumora run` on the device root.
#include <iostream>

#include "tool/commands.h"
#include "tool/device_link.h"

namespace tool {

void addNotifyCommand(CLI::App& app, const GlobalOptions& global) {
  auto name = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "notify", "post a Darwin notification to the lumora run on the device root");
  cmd->add_option("NAME", *name,
                  "the notification, e.g. com.tarnwick.lumora/testRegular (one test banner) or "
                  "com.tarnwick.lumora/testLockscreen (lock, then test notifications)")
      ->required();
  cmd->callback([name, &global] { postToRunningDevice(deviceRoot(global), *name); });
}

}  // namespace tool
