// `lumora prefs export` and `lumora prefs import`: the stored settings as a preset file,
// and a preset file applied, every value checked first and all written at once.
#include <iostream>
#include <memory>

#include "host/foundation/utf8.h"
#include "tool/commands.h"
#include "tool/output.h"
#include "tool/presets.h"

namespace tool {
namespace {

struct PresetOptions {
  std::vector<std::string> surfaces;
  std::string format, output = "-", name = "My settings", description, file;
  bool replace = false, dryRun = false, force = false;
};

std::vector<prefs::Surface> surfacesOf(const PresetOptions& options) {
  std::vector<prefs::Surface> surfaces;
  for (const std::string& name : options.surfaces) surfaces.push_back(*prefs::surfaceNamed(name));
  return surfaces;
}

void runExport(const GlobalOptions& global, const PresetOptions& options) {
  PrefsSession session(deviceRoot(global));
  session.warnAboutFile();
  const std::vector<prefs::Surface> surfaces = surfacesOf(options);
  Preset preset = exportPreset(session.defaults(), surfaces);
  preset.name = options.name;
  preset.description = options.description;
  if (preset.description.empty()) {
    std::string which;
    for (const std::string& s : options.surfaces) which += (which.empty() ? "" : ", ") + s;
    preset.description = "The stored settings" + (which.empty() ? "" : " of " + which) + ".";
  }
  // Stored keys the preset leaves out, and values an import will refuse without --force.
  for (const std::string& key : session.defaults().storedKeys()) {
    const prefs::Setting* s = prefs::findSetting(key);
    if (!s && surfaces.empty())
      std::cerr << "lumora: note: \"" << host::utf8::printable(key)
                << "\" is stored but is not a setting; it is left out\n";
    else if (s && onSurfaces(key, surfaces) && !storedSetting(session.defaults(), key))
      std::cerr << "lumora: note: " << key << " holds a kind no setting takes; it is left out\n";
  }
  for (const auto& [key, value] : preset.settings)
    if (std::string why = prefs::check(key, value); !why.empty())
      std::cerr << "lumora: note: " << host::utf8::printable(why)
                << "; importing it needs --force\n";
  const bool plist = options.format == "plist" ||
                     (options.format.empty() && options.output.size() > 6 &&
                      options.output.compare(options.output.size() - 6, 6, ".plist") == 0);
  const std::string bytes = presetBytes(preset, plist ? PresetFormat::Plist : PresetFormat::Json);
  if (options.output == "-") {
    writeStandardOutput(bytes);
    return;
  }
  if (std::string error = writeOutputFile(options.output, bytes, "my-look.json"); !error.empty())
    throw ToolError("cannot write the preset: " + error);
  std::cerr << "wrote " << host::utf8::printable(options.output) << " (" << preset.settings.size()
            << " settings)\n";
}

void runImport(const GlobalOptions& global, const PresetOptions& options) {
  PresetRead read = readPresetFile(options.file);
  if (!read.preset)
    throw ToolError(
        host::utf8::printable(read.error) + "; nothing was changed",
        read.error.rfind("cannot read", 0) == 0 || read.error.rfind("there is no file", 0) == 0
            ? 1
            : 2);
  const Preset& preset = *read.preset;
  const std::vector<std::string> problems =
      checkPreset(preset, options.force ? Force::Yes : Force::No);
  if (!problems.empty()) {
    std::string message = host::utf8::printable(options.file) + ": " +
                          std::to_string(problems.size()) +
                          (problems.size() == 1 ? " setting is" : " settings are") +
                          " refused, so nothing was changed:";
    for (const std::string& problem : problems) message += "\n  " + problem;
    message += "\n(--force imports them all the same)";
    throw ToolError(message, 2);
  }
  PrefsSession session(deviceRoot(global));
  session.warnAboutFile();
  const ImportPlan plan = planImport(session.defaults(), preset, surfacesOf(options),
                                     options.replace ? Replace::Yes : Replace::No);
  size_t keyWidth = 0;
  for (const auto& line : plan.lines) keyWidth = std::max(keyWidth, line.key.size());
  for (const auto& line : plan.lines)
    std::cout << host::utf8::printable(line.key) << std::string(keyWidth - line.key.size() + 2, ' ')
              << line.before << " → " << line.after << "\n";
  const std::string name = preset.name.empty() ? host::utf8::printable(options.file)
                                               : "\"" + host::utf8::printable(preset.name) + "\"";
  const std::string count =
      std::to_string(plan.lines.size()) + (plan.lines.size() == 1 ? " setting" : " settings");
  if (plan.lines.empty()) {
    std::cout << "nothing to change: the settings already hold " << name << "\n";
    return;
  }
  if (options.dryRun) {
    std::cout << "would store " << count << " for " << name
              << "; nothing was written (--dry-run)\n";
    return;
  }
  if (host::WriteResult result = applyImport(session.defaults(), plan); !result)
    throw ToolError(result.error);
  std::cout << "imported " << name << ": " << count << " stored\n";
}

}  // namespace

void addPresetCommands(CLI::App& prefs, const GlobalOptions& global) {
  auto options = std::make_shared<PresetOptions>();

  CLI::App* exportCommand = prefs.add_subcommand(
      "export", "write the stored settings as a preset file (JSON or property list)");
  exportCommand
      ->add_option("--surface", options->surfaces,
                   "only the settings of this surface: general, banner, lockscreen, widget or "
                   "mediaplayer (repeatable)")
      ->check(CLI::IsMember(prefs::surfaceNames()));
  exportCommand
      ->add_option("--format", options->format,
                   "json or plist (default: json, or plist "
                   "for an output file ending in .plist)")
      ->check(CLI::IsMember({"json", "plist"}));
  exportCommand->add_option("-o,--output", options->output,
                            "the file to write; - for standard output (the default)");
  exportCommand->add_option("--name", options->name, "the preset's name (default: My settings)");
  exportCommand->add_option("--description", options->description, "the preset's description");
  exportCommand->callback([options, &global] { runExport(global, *options); });

  CLI::App* importCommand = prefs.add_subcommand(
      "import", "apply a preset file: every value checked, all written at once or none");
  importCommand->add_option("FILE", options->file, "the preset file (JSON or property list)")
      ->required();
  importCommand
      ->add_option("--surface", options->surfaces,
                   "only the preset's settings of this surface (repeatable)")
      ->check(CLI::IsMember(prefs::surfaceNames()));
  importCommand->add_flag("--replace", options->replace,
                          "first return the settings of the surfaces the preset covers to their "
                          "defaults");
  importCommand->add_flag("--dry-run", options->dryRun, "only print what would change");
  importCommand->add_flag("--force", options->force,
                          "import unknown keys and values the settings do not take all the same");
  importCommand->callback([options, &global] { runImport(global, *options); });
}

}  // namespace tool
