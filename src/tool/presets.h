// Presets: a named look as a file (a name, a description and settings), written as JSON
// or a property list, read back with every value checked before anything is stored, and
// applied in one locked, atomic write of the suite, or not at all.
//
//   {"name": "Glass", "description": "...", "settings": {"styleBanner": "modern", ...}}
//
// A device's preference file, its settings at the top level, is read as a preset too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/foundation/user_defaults.h"
#include "prefs/schema.h"
#include "tool/prefs_store.h"

namespace tool {

// The largest preset file read: a preset of every setting takes a few kilobytes.
inline constexpr uint64_t kMaxPresetBytes = uint64_t{1} << 20;

struct Preset {
  std::string name, description;
  std::vector<std::pair<std::string, prefs::Value>> settings;  // in the file's order
};

enum class PresetFormat { Json, Plist };

// A preset read from bytes: JSON, or a property list (XML or binary). Refused, with the
// reason in `error`: what is neither, a root with members beside name, description and
// settings (unless it holds settings only),
// settings that are not a flat dictionary (a nested array or dictionary, a real, null).
struct PresetRead {
  std::optional<Preset> preset;
  std::string error;
};
PresetRead parsePreset(std::string_view bytes);
// The file, at most kMaxPresetBytes; the error names the file.
PresetRead readPresetFile(const std::filesystem::path& file);
// The preset as a file's bytes, its settings in the schema's order.
std::string presetBytes(const Preset& preset, PresetFormat format);

// Whether the preset's setting belongs to one of the surfaces (all when empty).
bool onSurfaces(const std::string& key, const std::vector<prefs::Surface>& surfaces);
// Every objection to the preset's settings, one message each naming the key: a key that
// is not a setting, or a value the schema refuses; none when forced.
std::vector<std::string> checkPreset(const Preset& preset, Force force);

// The stored settings of the surfaces (all when empty), in the schema's order.
Preset exportPreset(const host::NSUserDefaults& store, const std::vector<prefs::Surface>& surfaces);

// What an import changes: the writes for the store, and one line per change for people.
struct ImportPlan {
  struct Line {
    std::string key, before, after;  // "none (default)", "#FF8800"
  };
  std::vector<host::DefaultsChange> writes;
  std::vector<Line> lines;
};
enum class Replace { No, Yes };
// The changes that apply the preset's settings of the surfaces (all when empty). With
// Replace::Yes the settings of the surfaces it covers (the named ones, else those its
// settings belong to) first return to their defaults. Check the preset first.
ImportPlan planImport(const host::NSUserDefaults& store, const Preset& preset,
                      const std::vector<prefs::Surface>& surfaces, Replace replace);
// Writes the plan in one locked, atomic replacement of the file, or nothing.
host::WriteResult applyImport(host::NSUserDefaults& store, const ImportPlan& plan);

}  // namespace tool
