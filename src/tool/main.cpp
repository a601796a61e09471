// lumora: boots the host model, loads the system and reports on it.
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "host/foundation/utf8.h"
#include "startup/loader.h"
#include "tool/commands.h"
#include "tool/output.h"

namespace tool {

HostSession::~HostSession() {
  lumora::resetProcess();
}

std::filesystem::path deviceRoot(const GlobalOptions& options) {
  std::filesystem::path root;
  if (options.root) {
    if (options.root->empty())
      throw ToolError("--root needs a folder; leave it out to use the default device root", 2);
    root = *options.root;
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
  std::string why = error                                      ? error.message()
                    : !std::filesystem::is_directory(root)     ? "not a folder"
                    : ::access(root.c_str(), R_OK | X_OK) != 0 ? std::strerror(errno)
                                                               : "";
  if (!why.empty())
    throw ToolError("cannot use device root " + root.string() + ": " + why + "; pass --root DIR");
  return root;
}

CLI::Validator secondsBetween(double least, double most, const std::string& what) {
  return CLI::Validator(
      [least, most, what](const std::string& text) -> std::string {
        // strtod reads "nan" and "inf" too; neither is a number of seconds.
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (!text.empty() && end == text.c_str() + text.size() && std::isfinite(seconds) &&
            seconds >= least && seconds <= most)
          return {};
        std::ostringstream range;
        range << least << " to " << most;
        return "\"" + host::utf8::printable(text) + "\" is not " + what + "; give seconds from " +
               range.str() + ", such as 1.5";
      },
      "SECONDS");
}

namespace {

// The command the parser reached (the deepest one named) and its name, "lumora prefs set".
std::pair<const CLI::App*, std::string> commandReached(const CLI::App& app) {
  const CLI::App* at = &app;
  std::string name = "lumora";
  while (!at->get_subcommands().empty()) {
    at = at->get_subcommands().front();
    name += " " + at->get_name();
  }
  return {at, name};
}

// When a command is missing or unknown, the message naming it and the commands there
// are; empty for other missing arguments.
std::string commandProblem(const CLI::App& app) {
  const auto [at, name] = commandReached(app);
  if (at->get_require_subcommand_min() == 0) return {};
  std::string message;
  // A word the command does not know falls through to the application.
  for (const std::vector<std::string>& words : {at->remaining(), app.remaining()})
    for (const std::string& word : words)
      if (message.empty() && !word.empty() && word[0] != '-')
        message = "\"" + host::utf8::printable(word) + "\" is not a command of " + name + "; ";
  message += "give one of these commands:\n";
  for (const CLI::App* command : at->get_subcommands([](const CLI::App*) { return true; }))
    message += "  " + command->get_name() +
               std::string(10 - std::min<size_t>(9, command->get_name().size()), ' ') +
               command->get_description() + "\n";
  return message;
}

// A command-line mistake: the parser's message, the command's usage line and where to
// read more; exit status 2.
int usageError(const CLI::App& app, const CLI::Error& e) {
  const auto [command, name] = commandReached(app);
  std::string usage = name + " [OPTIONS]";
  if (auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(command->get_formatter())) {
    usage = formatter->make_usage(command, name);
    if (usage.rfind("Usage: ", 0) == 0) usage.erase(0, 7);
    while (!usage.empty() && usage.back() == '\n') usage.pop_back();
  }
  std::cerr << "lumora: " << terminalText(e.what()) << "\nusage: " << terminalText(usage)
            << "\n(see " << name << " --help)\n";
  return 2;
}

}  // namespace

}  // namespace tool

int main(int argc, char** argv) {
  CLI::App app{"lumora: preview and inspect the restyling of a modelled home screen"};
  app.require_subcommand(1);
  // --root may come before or after the command: the commands hand options they do not
  // know to the application (set before they are added, which copy it).
  app.fallthrough();
  tool::GlobalOptions options;
  app.add_option_function<std::string>(
      "--root", [&options](const std::string& root) { options.root = root; },
      "device root folder (default: $LUMORA_ROOT, else "
      "${XDG_DATA_HOME:-~/.local/share}/lumora/device)");
  tool::addPrefsCommand(app, options);
  tool::addStatusCommand(app, options);
  tool::addColourCommand(app, options);
  tool::addDumpCommand(app, options);
  tool::addPreviewCommand(app, options);
  tool::addRunCommand(app, options);
  tool::addNotifyCommand(app, options);
  tool::addPanelCommand(app, options);
  tool::addDocsCommand(app, options);
  try {
    app.parse(argc, argv);
    tool::checkStandardOutput();
  } catch (const CLI::RequiredError& e) {
    if (std::string problem = tool::commandProblem(app); !problem.empty()) {
      std::cerr << "lumora: " << tool::terminalText(problem);
      return 2;
    }
    return tool::usageError(app, e);
  } catch (const CLI::ParseError& e) {
    // --help answers with status 0 through the parser.
    return e.get_exit_code() == 0 ? app.exit(e) : tool::usageError(app, e);
  } catch (const tool::ToolError& e) {
    std::cerr << "lumora: " << tool::terminalText(e.what()) << "\n";
    return e.exitCode();
  } catch (const std::exception& e) {
    std::cerr << "lumora: internal error: " << tool::terminalText(e.what()) << "\n";
    return 70;
  }
  return 0;
}
