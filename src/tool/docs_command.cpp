// `lumora docs`: the pages made from the project's own tables, for tools/make-docs and
// its test. docs/settings.md comes from the settings' schema; docs/presets.md and its
// pictures come from the preset files in presets/, each applied to a fresh device and
// drawn on the built-in scene. A picture's file name carries a hash of the settings it
// was drawn with, so the check tells a picture of other settings without drawing
// anything (the drawing itself may change without the settings changing).
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "host/foundation/file_io.h"
#include "tool/commands.h"
#include "tool/output.h"
#include "tool/presets.h"
#include "tool/scene_session.h"

namespace tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGenerated =
    "<!-- Made by tools/make-docs (lumora docs); edit the sources it names, not this page. -->\n";

// Markdown table cells hold no "|" of their own.
std::string cellText(std::string text) {
  for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2)
    text.replace(at, 1, "\\|");
  return text;
}

std::string settingsPage() {
  std::ostringstream page;
  page << kGenerated
       << "# Settings\n\n"
          "The 68 settings of the preference suite, from the schema in "
          "`src/prefs/schema_table.cpp`. `lumora prefs describe KEY` shows one with its current "
          "value; `lumora prefs set KEY VALUE` refuses a value the setting does not take and "
          "says what it takes. A colour is `#` and six hexadecimal digits (`#FF8800`), "
          "optionally followed by `:` and an alpha from 0 to 1 (`#FF8800:0.5`); `dominant` is "
          "the colour of the app's icon (for the media player, the average colour of the "
          "artwork).\n\n"
          "The settings are grouped by surface, the name `--surface` takes in `lumora prefs "
          "export` and `import`.\n";
  for (const std::string& surface : prefs::surfaceNames()) {
    page << "\n## " << surface
         << "\n\n| key | values | default | description |\n|---|---|---|---|\n";
    for (const prefs::Setting& s : prefs::schema()) {
      if (prefs::surfaceName(s.surface) != surface) continue;
      std::string values = prefs::valuesTaken(s);
      if (!s.fallback.empty()) values += "; " + s.fallback;
      page << "| `" << s.key << "` | " << cellText(values) << " | `"
           << prefs::display(s.defaultValue) << "` | " << cellText(s.label) << ": "
           << cellText(s.description) << " |\n";
    }
  }
  return page.str();
}

struct PresetFile {
  fs::path file;
  Preset preset;
  std::string picture;  // the picture's file name, under docs/presets/
};

// FNV-1a, 64 bits: a stable name for a set of settings, not a security measure.
std::string hashOf(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char out[17];
  std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(hash));
  return std::string(out, 10);
}

std::vector<PresetFile> readPresets(const fs::path& folder) {
  std::vector<PresetFile> presets;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const fs::path& file = entry.path();
    if (file.extension() != ".json" && file.extension() != ".plist") continue;
    PresetRead read = readPresetFile(file);
    if (!read.preset) throw ToolError(read.error);
    if (auto problems = checkPreset(*read.preset, Force::No); !problems.empty())
      throw ToolError(file.string() + " does not import cleanly: " + problems.front());
    Preset settingsOnly;
    settingsOnly.settings = read.preset->settings;
    const std::string name =
        file.stem().string() + "-" + hashOf(presetBytes(settingsOnly, PresetFormat::Json)) + ".png";
    presets.push_back({file, std::move(*read.preset), name});
  }
  if (error)
    throw ToolError("cannot read the presets in " + folder.string() + ": " + error.message());
  std::sort(presets.begin(), presets.end(),
            [](const PresetFile& a, const PresetFile& b) { return a.file < b.file; });
  return presets;
}

std::string presetsPage(const std::vector<PresetFile>& presets) {
  std::ostringstream page;
  page << kGenerated
       << "# Presets\n\n"
          "Looks to start from, in `presets/`, each drawn on the built-in scene: the "
          "lockscreen with its media player and notifications, a banner on the home screen and "
          "two widgets in the Today view. Apply one with\n\n"
          "```sh\nlumora prefs import presets/glass.json            # over the current "
          "settings\nlumora prefs import presets/glass.json --replace  # the surfaces it "
          "covers start from their defaults\n```\n\n"
          "and keep your own with `lumora prefs export -o my-look.json`. A preset file is "
          "JSON or a property list holding a name, a description and the settings:\n\n"
          "```json\n{\"name\": \"Glass\", \"description\": \"...\", \"settings\": "
          "{\"colorBackgroundBanner\": \"#FFFFFF:0.25\", \"borderWidthBanner\": 1}}\n```\n\n"
          "A device's preference file (`com.tarnwick.lumora.plist`) imports as it is. "
          "Every value is checked before anything is stored; a file over 1 MiB, a nested "
          "value or a key that is not a setting is refused (`--force` lets unknown keys and "
          "values through). See [settings.md](settings.md) for the values each setting takes.\n";
  for (const PresetFile& p : presets) {
    page << "\n## " << p.preset.name << "\n\n"
         << p.preset.description << "\n\n"
         << "`lumora prefs import presets/" << p.file.filename().string() << "` ("
         << p.preset.settings.size() << " settings)\n\n"
         << "![" << p.preset.name << " on the built-in scene](presets/" << p.picture << ")\n";
  }
  return page.str();
}

// Applies the preset to a fresh device root and draws the built-in scene on it.
std::string pictureOf(const Preset& preset) {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = (fs::path(tmp && *tmp ? tmp : "/tmp") / "lumora-docs-XXXXXX").string();
  if (!::mkdtemp(folder.data())) throw ToolError("cannot make a temporary folder in " + folder);
  struct Remove {
    std::string path;
    ~Remove() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } remove{folder};
  {
    PrefsSession session(folder);
    if (host::WriteResult result = applyImport(
            session.defaults(), planImport(session.defaults(), preset, {}, Replace::No));
        !result)
      throw ToolError(result.error);
  }
  GlobalOptions global;
  global.root = folder;
  SceneSession session(global, std::nullopt);
  session.run(std::nullopt);
  const std::vector<uint8_t> png = screensPNG(session.scene(), 1);
  return std::string(png.begin(), png.end());
}

void runDocs(const std::string& tree, bool checkOnly) {
  const fs::path root = tree, docs = root / "docs", pictures = docs / "presets";
  const std::vector<PresetFile> presets = readPresets(root / "presets");
  const std::map<fs::path, std::string> pages = {{docs / "settings.md", settingsPage()},
                                                 {docs / "presets.md", presetsPage(presets)}};
  std::set<std::string> wanted;
  for (const PresetFile& p : presets) wanted.insert(p.picture);
  std::set<std::string> present;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(pictures, error))
    present.insert(entry.path().filename().string());

  if (checkOnly) {
    std::vector<std::string> stale;
    for (const auto& [file, text] : pages) {
      const host::FileContents now = host::readRegularFile(file, uint64_t{1} << 20);
      if (now.bytes != text) stale.push_back(file.string() + " is out of date");
    }
    for (const std::string& name : wanted)
      if (!present.count(name)) stale.push_back((pictures / name).string() + " is missing");
    for (const std::string& name : present)
      if (!wanted.count(name)) stale.push_back((pictures / name).string() + " is left over");
    if (stale.empty()) return;
    std::string message;
    for (const std::string& line : stale) message += line + "\n";
    throw ToolError(message + "run tools/make-docs to make them again");
  }
  for (const auto& [file, text] : pages)
    if (std::string why = host::replaceFile(file, text); !why.empty()) throw ToolError(why);
  for (const PresetFile& p : presets) {
    if (std::string why = host::replaceFile(pictures / p.picture, pictureOf(p.preset));
        !why.empty())
      throw ToolError(why);
    std::cout << "drew " << (pictures / p.picture).string() << "\n";
  }
  for (const std::string& name : present)
    if (!wanted.count(name)) fs::remove(pictures / name, error);
  std::cout << "wrote " << (docs / "settings.md").string() << " and "
            << (docs / "presets.md").string() << "\n";
}

}  // namespace

void addDocsCommand(CLI::App& app, const GlobalOptions&) {
  struct Options {
    std::string tree = ".";
    bool check = false;
  };
  auto options = std::make_shared<Options>();
  CLI::App* docs = app.add_subcommand(
      "docs", "for maintainers: make docs/settings.md and docs/presets.md with its pictures");
  docs->add_option("--tree", options->tree, "the source tree (default: the current folder)");
  docs->add_flag("--check", options->check,
                 "only say which pages or pictures are out of date (exit status 1)");
  docs->callback([options] { runDocs(options->tree, options->check); });
}

}  // namespace tool
