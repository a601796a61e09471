// The `lumora` tool's commands. Each command lives in its own file and adds itself to
// the application; main.cpp parses, runs, and turns a ToolError into a message.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "host/host.h"

namespace tool {

// A failure to report to the user: the message says what was wrong and what to do.
class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& message, int exitCode = 1)
      : std::runtime_error(message), exitCode_(exitCode) {}
  int exitCode() const { return exitCode_; }

 private:
  int exitCode_;
};

// The host booted for one command, and the whole process reset afterwards, also when
// the command fails.
class HostSession {
 public:
  explicit HostSession(const host::HostOptions& options = {}) { host::boot(options); }
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;
};

struct GlobalOptions {
  std::optional<std::string> root;  // --root, when given
};

// The device root: --root, else $LUMORA_ROOT, else
// ${XDG_DATA_HOME:-$HOME/.local/share}/lumora/device; created when missing. An empty
// --root, and a root that is no readable folder, are refused.
std::filesystem::path deviceRoot(const GlobalOptions& options);

// A check of a number of seconds from `least` to `most`, refusing NaN and infinities
// and saying what to give.
CLI::Validator secondsBetween(double least, double most, const std::string& what);

// The --scale option of the commands that draw: 1, 2 or 3 pixels per point.
void addScaleOption(CLI::App& command, double& scale, const std::string& description);

void addPrefsCommand(CLI::App& app, const GlobalOptions& options);
// prefs export and prefs import, added to the prefs command.
void addPresetCommands(CLI::App& prefs, const GlobalOptions& options);
void addDocsCommand(CLI::App& app, const GlobalOptions& options);
void addStatusCommand(CLI::App& app, const GlobalOptions& options);
void addColourCommand(CLI::App& app, const GlobalOptions& options);
void addDumpCommand(CLI::App& app, const GlobalOptions& options);
void addPreviewCommand(CLI::App& app, const GlobalOptions& options);
void addRunCommand(CLI::App& app, const GlobalOptions& options);
void addNotifyCommand(CLI::App& app, const GlobalOptions& options);
void addPanelCommand(CLI::App& app, const GlobalOptions& options);

}  // namespace tool
