// lumora status: boots the host (optionally without some classes), loads the system and
// reports the gates, the globals, the Darwin observers and every hook-table row.
#include <iostream>
#include <nlohmann/json.hpp>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/user_defaults.h"
#include "startup/loader.h"
#include "tool/commands.h"
#include "tool/output.h"

namespace tool {
namespace {

struct StatusOptions {
  bool json = false;
  std::vector<std::string> absent;
};

nlohmann::ordered_json collectStatus() {
  using nlohmann::ordered_json;
  ordered_json out;
  auto* store = host::NSUserDefaults::cls.cast(lumora::preferences.get());
  out["preferences"] = {{"readable", store && store->readable()},
                        {"file", store ? store->filePath().string() : std::string()}};
  if (store && !store->readable()) out["preferences"]["problem"] = store->problem();
  // Such a file is read as well as possible, but the migration does not rewrite it.
  if (store && !store->unwritableText().empty())
    out["preferences"]["unwritable"] = store->unwritableText();
  auto gate = [&](const char* key) {
    return rt::send(lumora::preferences, sel::boolForKey, host::NSStr(key));
  };
  out["gates"] = {{"enabled", gate("enabled")}, {"enableWidgets", gate("enableWidgets")}};
  out["globals"] = {{"preferences", lumora::preferences != nullptr},
                    {"colorCache", lumora::colorCache != nullptr},
                    {"colorFlowInstalled", lumora::colorFlowInstalled},
                    {"showCustomMessages", lumora::showCustomMessages}};
  out["darwinObservers"] = host::darwin_notify::observedNames();
  ordered_json hooks = ordered_json::array();
  for (const lumora::HookOutcome& o : lumora::installationReport()) {
    hooks.push_back({{"routine", lumora::routineName(o.row->routine)},
                     {"class", o.row->className()},
                     {"selector", o.row->selector},
                     {"kind", lumora::hookKindName(o.row->kind)},
                     {"installed", o.installed},
                     {"reason", o.reason ? ordered_json(o.reason) : ordered_json(nullptr)}});
  }
  out["hooks"] = std::move(hooks);
  return out;
}

void printText(const nlohmann::ordered_json& s) {
  auto yes = [](const nlohmann::ordered_json& b) { return b.get<bool>() ? "yes" : "no"; };
  const std::string file = s["preferences"]["file"].get<std::string>();
  std::error_code error;
  const char* note = !s["preferences"]["readable"].get<bool>() ? "  (UNREADABLE: defaults only)"
                     : !std::filesystem::exists(file, error) ? "  (not written yet: defaults only)"
                                                             : "";
  std::cout << "preferences  " << file << note << "\n";
  if (s["preferences"].contains("problem"))
    std::cout << "             " << s["preferences"]["problem"].get<std::string>() << "\n";
  if (s["preferences"].contains("unwritable"))
    std::cout << "             holds text that cannot be written back ("
              << s["preferences"]["unwritable"].get<std::string>()
              << "), so the migration leaves the file as it is\n";
  std::cout << "gates        enabled=" << yes(s["gates"]["enabled"])
            << " enableWidgets=" << yes(s["gates"]["enableWidgets"]) << "\n";
  std::cout << "globals     ";
  for (auto& [name, value] : s["globals"].items()) std::cout << " " << name << "=" << yes(value);
  std::cout << "\ndarwin       ";
  if (s["darwinObservers"].empty()) std::cout << "(no observers)";
  for (auto& name : s["darwinObservers"]) std::cout << name.get<std::string>() << "  ";
  size_t installed = 0;
  for (auto& h : s["hooks"]) installed += h["installed"].get<bool>();
  std::cout << "\nhooks        " << installed << " of " << s["hooks"].size() << " installed\n";
  for (auto& h : s["hooks"]) {
    std::string where = h["class"].get<std::string>() + " " + h["selector"].get<std::string>();
    std::printf("  %-13s %-8s %-70s %s\n", h["routine"].get<std::string>().c_str(),
                h["kind"].get<std::string>().c_str(), where.c_str(),
                h["installed"].get<bool>()
                    ? "installed"
                    : ("skipped: " + h["reason"].get<std::string>()).c_str());
  }
  std::fflush(stdout);
}

}  // namespace

void addStatusCommand(CLI::App& app, const GlobalOptions& global) {
  auto options = std::make_shared<StatusOptions>();
  CLI::App* cmd =
      app.add_subcommand("status", "load the system and report gates, globals and hooks");
  cmd->add_flag("--json", options->json, "print one JSON object");
  cmd->add_option("--absent", options->absent, "boot the host without this class (repeatable)");
  cmd->callback([options, &global] {
    host::HostOptions hostOptions{deviceRoot(global), {}};
    hostOptions.absentClasses.insert(options->absent.begin(), options->absent.end());
    nlohmann::ordered_json status;
    {
      HostSession session(hostOptions);
      for (const std::string& name : options->absent)
        if (!host::skippedClasses().count(name))
          throw ToolError("--absent " + name + ": the host has no class of that name; " +
                              "give one of the host's classes, such as NCNotificationShortLookView",
                          2);
      lumora::loadSystem();
      status = collectStatus();
    }
    if (options->json)
      printJson(status);
    else
      printText(status);
  });
}

}  // namespace tool
