// lumora: boots the host model, loads the system and reports on it.
#include <cstdlib>
#include <iostream>

#include "startup/loader.h"
#include "tool/commands.h"

namespace tool {

HostSession::~HostSession() {
  lumora::resetProcess();
}

std::filesystem::path deviceRoot(const GlobalOptions& options) {
  std::filesystem::path root;
  if (!options.root.empty()) {
    root = options.root;
  } else if (const char* env = std::getenv("LUMORA_ROOT"); env && *env) {
    root = env;
  } else {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && *data)
      root = std::filesystem::path(data) / "lumora" / "device";
    else if (home && *home)
      root = std::filesystem::path(home) / ".local" / "share" / "lumora" / "device";
    else
      throw ToolError("no device root: set HOME, LUMORA_ROOT or pass --root DIR");
  }
  std::error_code error;
  std::filesystem::create_directories(root, error);
  if (error || !std::filesystem::is_directory(root))
    throw ToolError("cannot use device root " + root.string() + ": " +
                    (error ? error.message() : "not a folder") + "; pass --root DIR");
  return root;
}

}  // namespace tool

int main(int argc, char** argv) {
  CLI::App app{"lumora: preview and inspect the restyling of a modelled home screen"};
  app.require_subcommand(1);
  tool::GlobalOptions options;
  app.add_option("--root", options.root,
                 "device root folder (default: $LUMORA_ROOT, else "
                 "${XDG_DATA_HOME:-~/.local/share}/lumora/device)");
  tool::addPrefsCommand(app, options);
  tool::addStatusCommand(app, options);
  tool::addColourCommand(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const tool::ToolError& e) {
    std::cerr << "lumora: " << e.what() << "\n";
    return e.exitCode();
  } catch (const std::exception& e) {
    std::cerr << "lumora: internal error: " << e.what() << "\n";
    return 70;
  }
  return 0;
}
