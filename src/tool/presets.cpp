#include "tool/presets.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/utf8.h"
#include "tool/output.h"

namespace tool {

namespace {

using OrderedJson = nlohmann::ordered_json;

const char* const kShape =
    "a preset is {\"name\": TEXT, \"description\": TEXT, \"settings\": {KEY: VALUE, ...}} "
    "(see docs/presets.md)";

PresetRead refuse(std::string why) {
  return {std::nullopt, std::move(why)};
}

bool looksLikePlist(std::string_view bytes) {
  if (bytes.rfind("bplist", 0) == 0) return true;
  const size_t first = bytes.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && bytes[first] == '<';
}

// The top-level members, checked the same way for both formats: `member(name)` answers
// whether the member is there and of the kind wanted.
// A device's preference file holds the settings at its top level, with no name: it is
// taken as a preset of those settings.
bool flatSettings(const std::vector<std::string>& names) {
  return std::none_of(names.begin(), names.end(), [](const std::string& name) {
    return name == "name" || name == "description" || name == "settings";
  });
}

std::string checkTopLevel(const std::vector<std::string>& names) {
  for (const std::string& name : names)
    if (name != "name" && name != "description" && name != "settings")
      return "it has a member \"" + host::utf8::printable(name) + "\" that presets do not have; " +
             kShape;
  if (std::find(names.begin(), names.end(), "settings") == names.end())
    return std::string("it has no \"settings\"; ") + kShape;
  return {};
}

PresetRead fromJson(std::string_view bytes) {
  OrderedJson root;
  try {
    root = OrderedJson::parse(bytes);
  } catch (const OrderedJson::parse_error& e) {
    return refuse(std::string("is neither a property list nor JSON (") + e.what() + ")");
  }
  if (!root.is_object()) return refuse(std::string("does not hold an object; ") + kShape);
  std::vector<std::string> names;
  for (const auto& [name, member] : root.items()) names.push_back(name);
  if (flatSettings(names) && !names.empty())
    root = OrderedJson{{"settings", std::move(root)}};
  else if (std::string why = checkTopLevel(names); !why.empty())
    return refuse(why);
  Preset preset;
  for (const char* field : {"name", "description"})
    if (root.contains(field)) {
      if (!root[field].is_string())
        return refuse(std::string("its \"") + field + "\" is not text; " + kShape);
      (field[0] == 'n' ? preset.name : preset.description) = root[field].get<std::string>();
    }
  const OrderedJson& settings = root["settings"];
  if (!settings.is_object())
    return refuse(std::string("its \"settings\" is not an object; ") + kShape);
  for (const auto& [key, value] : settings.items()) {
    const std::string shown = "\"" + host::utf8::printable(key) + "\"";
    if (value.is_boolean())
      preset.settings.emplace_back(key, value.get<bool>());
    else if (value.is_number_integer() &&
             !(value.is_number_unsigned() && value.get<uint64_t>() > uint64_t(INT64_MAX)))
      preset.settings.emplace_back(key, value.get<int64_t>());
    else if (value.is_string())
      preset.settings.emplace_back(key, value.get<std::string>());
    else if (value.is_object() || value.is_array())
      return refuse("the setting " + shown +
                    " holds a nested structure; settings hold true/false, a whole number or text");
    else
      return refuse("the setting " + shown + " holds " + compactJson(value) +
                    "; settings hold true/false, a whole number or text");
  }
  return {std::move(preset), {}};
}

PresetRead fromPlist(std::string_view bytes) {
  host::plist::Parsed parsed = host::plist::parse(bytes);
  if (!parsed.root) return refuse(parsed.error);
  rt::Ref<> root = host::plist::toObject(parsed.root.get());
  const auto* dictionary = dynamic_cast<const host::NSDictionary*>(root.get());
  if (!dictionary) return refuse(std::string("does not hold a dictionary; ") + kShape);
  auto members = dictionary->sorted();
  std::vector<std::string> names;
  for (const auto& [name, member] : members) names.push_back(name);
  if (flatSettings(names) && !names.empty())
    members = {{"settings", root}};
  else if (std::string why = checkTopLevel(names); !why.empty())
    return refuse(why);
  Preset preset;
  for (const auto& [name, member] : members) {
    if (name == "settings") continue;
    const auto* text = dynamic_cast<const host::NSString*>(member.get());
    if (!text) return refuse("its \"" + name + "\" is not text; " + std::string(kShape));
    (name == "name" ? preset.name : preset.description) = text->text();
  }
  const auto* settings = dynamic_cast<const host::NSDictionary*>(members.at("settings").get());
  if (!settings) return refuse(std::string("its \"settings\" is not a dictionary; ") + kShape);
  for (const auto& [name, value] : settings->sorted()) {
    const std::string& key = name;  // a lambda cannot capture a structured binding here
    const std::string shown = "\"" + host::utf8::printable(key) + "\"";
    std::string problem;
    std::visit(host::Overloaded{
                   [&](bool b) { preset.settings.emplace_back(key, b); },
                   [&](int64_t i) { preset.settings.emplace_back(key, i); },
                   [&](const host::NSString* s) { preset.settings.emplace_back(key, s->text()); },
                   [&](const host::NSArray*) { problem = "a nested structure"; },
                   [&](const host::NSDictionary*) { problem = "a nested structure"; },
                   [&](double) { problem = "a real number"; },
                   [&](const host::NSData*) { problem = "data"; },
                   [&](std::monostate) { problem = "a date or another kind"; },
               },
               host::plistValueOf(value.get()));
    if (!problem.empty())
      return refuse("the setting " + shown + " holds " + problem +
                    "; settings hold true/false, a whole number or text");
  }
  return {std::move(preset), {}};
}

// The preset's settings ordered as the schema orders them, unknown keys last.
std::vector<std::pair<std::string, prefs::Value>> inSchemaOrder(const Preset& preset) {
  auto rank = [](const std::string& key) {
    const prefs::Setting* s = prefs::findSetting(key);
    return s ? static_cast<size_t>(s - prefs::schema().data()) : prefs::schema().size();
  };
  auto settings = preset.settings;
  std::stable_sort(settings.begin(), settings.end(),
                   [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
  return settings;
}

std::string shown(const std::optional<prefs::Value>& value, bool stored) {
  if (!value) return stored ? "(another kind)" : "(not set)";
  std::string text = prefs::display(*value);
  if (text.empty()) text = "\"\"";
  return host::utf8::printable(text) + (stored ? "" : " (default)");
}

}  // namespace

PresetRead parsePreset(std::string_view bytes) {
  if (bytes.size() > kMaxPresetBytes)
    return refuse("is larger than the " + host::describeSize(kMaxPresetBytes) + " allowed");
  return looksLikePlist(bytes) ? fromPlist(bytes) : fromJson(bytes);
}

PresetRead readPresetFile(const std::filesystem::path& file) {
  const host::FileContents contents = host::readRegularFile(file, kMaxPresetBytes);
  if (contents.status == host::FileContents::Status::Missing)
    return refuse("there is no file " + file.string());
  if (contents.status == host::FileContents::Status::Failed) {
    // Too large is a fault of the file; anything else, of reading it.
    if (contents.error.find("larger than") != std::string::npos)
      return refuse(file.string() + ": " + contents.error);
    return refuse("cannot read " + file.string() + ": " + contents.error);
  }
  PresetRead read = parsePreset(contents.bytes);
  if (!read.preset) read.error = file.string() + " " + read.error;
  return read;
}

std::string presetBytes(const Preset& preset, PresetFormat format) {
  const auto settings = inSchemaOrder(preset);
  if (format == PresetFormat::Json) {
    OrderedJson root = {{"name", preset.name}, {"description", preset.description}};
    OrderedJson& values = root["settings"] = OrderedJson::object();
    for (const auto& [key, value] : settings)
      std::visit([&, k = key](const auto& v) { values[k] = v; }, value);
    return root.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
  }
  rt::Ref<host::NSDictionary> root = host::NSDictionary::make(true);
  rt::Ref<host::NSDictionary> values = host::NSDictionary::make(true);
  for (const auto& [key, value] : settings)
    values->setObject(objectOf(value).get(), host::NSStr(key).get());
  root->setObject(host::NSStr(preset.name).get(), LUMORA_STR("name"));
  root->setObject(host::NSStr(preset.description).get(), LUMORA_STR("description"));
  root->setObject(values.get(), LUMORA_STR("settings"));
  host::plist::Node node = host::plist::fromObject(root.get());
  return host::plist::serialize(node.get(), host::plist::Format::Xml);
}

bool onSurfaces(const std::string& key, const std::vector<prefs::Surface>& surfaces) {
  if (surfaces.empty()) return true;
  const prefs::Setting* s = prefs::findSetting(key);
  return s && std::find(surfaces.begin(), surfaces.end(), s->surface) != surfaces.end();
}

std::vector<std::string> checkPreset(const Preset& preset, Force force) {
  std::vector<std::string> problems;
  if (force == Force::Yes) return problems;
  for (const auto& [key, value] : preset.settings)
    if (std::string why = prefs::check(key, value); !why.empty())
      problems.push_back(host::utf8::printable(why));
  return problems;
}

Preset exportPreset(const host::NSUserDefaults& store,
                    const std::vector<prefs::Surface>& surfaces) {
  Preset preset;
  for (const prefs::Setting& s : prefs::schema())
    if (onSurfaces(s.key, surfaces))
      if (std::optional<prefs::Value> value = storedSetting(store, s.key))
        preset.settings.emplace_back(s.key, *value);
  return preset;
}

ImportPlan planImport(const host::NSUserDefaults& store, const Preset& preset,
                      const std::vector<prefs::Surface>& surfaces, Replace replace) {
  ImportPlan plan;
  std::vector<std::pair<std::string, prefs::Value>> chosen;
  for (const auto& setting : inSchemaOrder(preset))
    if (onSurfaces(setting.first, surfaces)) chosen.push_back(setting);
  if (replace == Replace::Yes) {
    std::vector<prefs::Surface> covered = surfaces;
    if (covered.empty())
      for (const auto& [key, value] : chosen)
        if (const prefs::Setting* s = prefs::findSetting(key)) covered.push_back(s->surface);
    for (const prefs::Setting& s : prefs::schema()) {
      if (std::find(covered.begin(), covered.end(), s.surface) == covered.end()) continue;
      if (std::any_of(chosen.begin(), chosen.end(),
                      [&](const auto& c) { return c.first == s.key; }))
        continue;
      // Every key of the surface is removed, stored or not, so that a value another
      // process stores meanwhile goes too.
      plan.writes.push_back({s.key, nullptr});
      if (store.isStored(s.key))
        plan.lines.push_back({s.key, shown(storedSetting(store, s.key), true),
                              shown(prefs::Value(s.defaultValue), false)});
    }
  }
  for (const auto& [key, value] : chosen) {
    const bool stored = store.isStored(key);
    const std::optional<prefs::Value> before =
        stored ? storedSetting(store, key) : effectiveSetting(store, key);
    if (stored && before == value) continue;  // already so
    plan.writes.push_back({key, objectOf(value)});
    plan.lines.push_back({key, shown(before, stored), shown(value, true)});
  }
  return plan;
}

host::WriteResult applyImport(host::NSUserDefaults& store, const ImportPlan& plan) {
  if (plan.writes.empty()) return {};
  return store.write(plan.writes);
}

}  // namespace tool
