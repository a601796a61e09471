// lumora notify NAME: posts a Darwin notification to the `lumora run` on the device root.
#include <iostream>

#include "host/foundation/utf8.h"
#include "tool/commands.h"
#include "tool/device_link.h"

namespace tool {

void addNotifyCommand(CLI::App& app, const GlobalOptions& global) {
  struct Arguments {
    std::string name;
    double wait = 5;
  };
  auto args = std::make_shared<Arguments>();
  CLI::App* cmd = app.add_subcommand(
      "notify", "post a Darwin notification to the lumora run on the device root");
  cmd->add_option("NAME", args->name,
                  "the notification, e.g. com.tarnwick.lumora/testRegular (one test banner) or "
                  "com.tarnwick.lumora/testLockscreen (lock, then test notifications)")
      ->required();
  cmd->add_option("--wait", args->wait,
                  "seconds to wait for the run to take and confirm the post (default: 5)")
      ->check(secondsBetween(0.1, 3600, "a time to wait"));
  cmd->callback([args, &global] {
    const std::filesystem::path root = deviceRoot(global);
    const auto patience = std::chrono::milliseconds(static_cast<int64_t>(args->wait * 1000));
    if (!postToRunningDevice(root, args->name, patience))
      std::cerr << "lumora: " << host::utf8::printable(args->name) << " sent; the run on "
                << host::utf8::printable(root.string())
                << " has not confirmed it yet (it is busy or stopped) and posts it when it goes "
                   "on, so do not post it again\n";
  });
}

}  // namespace tool
