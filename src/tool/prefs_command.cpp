// `lumora prefs`: list, read, describe, change and delete settings of the preference
// suite. Values a person sets are checked against the settings' schema first. Each run
// boots the host model and creates the store as the host's start-up does, so a file of
// the older layout is migrated first.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "host/foundation/user_defaults.h"
#include "host/foundation/utf8.h"
#include "prefs/lumora_prefs.h"
#include "prefs/schema.h"
#include "tool/commands.h"
#include "tool/output.h"
#include "tool/prefs_store.h"

namespace tool {
namespace {

using rt::id;
using rt::Ref;

using Session = PrefsSession;

// The kind of a value as the tool reports it. Settings are booleans, integers or
// strings; a file written by hand may also hold the other property-list kinds, and
// "other" stands for a stored kind the model has no value for (a date).
std::string kindOf(id object) {
  return std::visit(host::Overloaded{
                        [](std::monostate) { return "other"; },
                        [](bool) { return "bool"; },
                        [](int64_t) { return "integer"; },
                        [](double) { return "real"; },
                        [](const host::NSString*) { return "string"; },
                        [](const host::NSData*) { return "data"; },
                        [](const host::NSArray*) { return "array"; },
                        [](const host::NSDictionary*) { return "dictionary"; },
                    },
                    host::plistValueOf(object));
}

Json toJson(id object) {
  return std::visit(host::Overloaded{
                        [](std::monostate) { return Json(nullptr); },
                        [](bool value) { return Json(value); },
                        [](int64_t value) { return Json(value); },
                        [](double value) { return Json(value); },
                        [](const host::NSString* string) { return Json(string->text()); },
                        [](const host::NSData* data) {
                          static const char digits[] = "0123456789abcdef";
                          std::string hex;
                          for (uint8_t byte : data->bytes())
                            hex.append({digits[byte >> 4], digits[byte & 15]});
                          return Json(hex);
                        },
                        [](const host::NSArray* array) {
                          Json items = Json::array();
                          for (const Ref<>& item : array->items())
                            items.push_back(toJson(item.get()));
                          return items;
                        },
                        [](const host::NSDictionary* dictionary) {
                          Json items = Json::object();
                          for (const auto& [key, item] : dictionary->sorted())
                            items[key] = toJson(item.get());
                          return items;
                        },
                    },
                    host::plistValueOf(object));
}

std::string article(const std::string& kind) {
  return (kind == "integer" ? "an " : "a ") + kind;
}

// What a key reads as, from where, and what the schema says against a stored value;
// nothing when it is neither stored nor registered.
std::optional<Json> record(const Session& session, const std::string& key) {
  const bool stored = session.defaults().isStored(key);
  Ref<> value = rt::send(session.store(), sel::objectForKey, host::NSStr(key));
  if (!stored && !value) return std::nullopt;
  Json r = {{"value", toJson(value.get())},
            {"kind", kindOf(value.get())},
            {"source", stored ? "stored" : "default"}};
  // A stored value the schema would refuse: a hand-edited or old file shows its problems.
  if (stored) {
    std::string problem;
    if (std::optional<prefs::Value> setting = storedSetting(session.defaults(), key))
      problem = prefs::check(key, *setting);
    else if (const prefs::Setting* s = prefs::findSetting(key))
      problem = key + " takes " + prefs::valuesTaken(*s) + ", not " +
                article(r["kind"].get<std::string>());
    else
      problem = prefs::unknownKeyMessage(key);
    if (!problem.empty()) r["problem"] = problem;
  }
  return r;
}

// A value for people: strings as they are (quoted when empty), data as its size, the
// rest as JSON.
std::string display(const Json& value, const std::string& kind) {
  if (kind == "data")
    return std::to_string(value.get_ref<const std::string&>().size() / 2) + " bytes";
  if (value.is_string()) {
    const auto& text = value.get_ref<const std::string&>();
    return text.empty() ? "\"\"" : text;
  }
  return compactJson(value);
}

std::string display(const Json& record) {
  return display(record["value"], record["kind"].get<std::string>());
}

// One row per key, each cell on one line; values are cut to fit the terminal.
void printTable(const Json& all) {
  const size_t width = terminalWidth();
  size_t keyWidth = 3, kindWidth = 4;
  for (const auto& [key, r] : all.items()) {
    keyWidth = std::max(keyWidth, columns(host::utf8::printable(key)));
    kindWidth = std::max(kindWidth, r["kind"].get_ref<const std::string&>().size());
  }
  // Keys take up to half the line (every registered key fits in 40 columns), values the
  // rest, but at least 10 columns.
  keyWidth = std::min(keyWidth, std::max<size_t>(40, width / 2));
  const size_t fixed = keyWidth + 2 + 2 + kindWidth + 2 + std::strlen("default");
  const size_t valueRoom = width > fixed + 10 ? width - fixed : 10;
  std::vector<std::array<std::string, 4>> rows = {{"KEY", "VALUE", "KIND", "SOURCE"}};
  size_t valueWidth = 5;
  for (const auto& [key, r] : all.items()) {
    rows.push_back({cell(key, keyWidth), cell(display(r), valueRoom), r["kind"].get<std::string>(),
                    r["source"].get<std::string>() + (r.contains("problem") ? "*" : "")});
    valueWidth = std::max(valueWidth, columns(rows.back()[1]));
  }
  auto pad = [](const std::string& text, size_t to) {
    return text + std::string(to - std::min(to, columns(text)), ' ');
  };
  for (const auto& [key, value, kind, source] : rows)
    std::cout << pad(key, keyWidth) << "  " << pad(value, valueWidth) << "  "
              << pad(kind, kindWidth) << "  " << source << "\n";
  bool first = true;
  for (const auto& [key, r] : all.items())
    if (r.contains("problem")) {
      if (first) std::cout << "\n* stored values the settings do not take:\n";
      first = false;
      std::cout << "  " << cell(r["problem"].get<std::string>(), width > 12 ? width - 2 : 10)
                << "\n";
    }
}

void runList(const GlobalOptions& options, bool json) {
  Session session(deviceRoot(options));
  session.warnAboutFile();
  Json all = Json::object();
  for (const prefs::Setting& s : prefs::schema())
    if (auto r = record(session, s.key)) all[s.key] = *r;
  for (const std::string& key : session.defaults().storedKeys())
    if (!all.contains(key))
      if (auto r = record(session, key)) all[key] = *r;
  if (json)
    printJson(all);
  else
    printTable(all);
}

std::string nothingMessage(const std::string& key) {
  const std::vector<std::string> near = prefs::nearestKeys(key);
  std::string hint = "see `lumora prefs list`";
  if (!near.empty()) {
    hint = "did you mean ";
    for (size_t i = 0; i < near.size(); ++i)
      hint += (i == 0 ? "" : i + 1 == near.size() ? " or " : ", ") + near[i];
    hint += "?";
  }
  return "\"" + host::utf8::printable(key) +
         "\" reads as nothing: it is neither stored nor a registered setting; " + hint;
}

void runGet(const GlobalOptions& options, const std::string& key, bool json) {
  Session session(deviceRoot(options));
  session.warnAboutFile();
  std::optional<Json> r = record(session, key);
  if (!r) throw ToolError(nothingMessage(key), 2);
  if (json)
    printJson(*r);
  else
    std::cout << display(*r) << "\n";
}

enum class ForcedKind { None, Bool, Integer, String };

bool parseInteger(const std::string& text, int64_t& out) {
  if (text.empty()) return false;
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  auto [end, error] = std::from_chars(begin, text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && begin != end;
}

// The value to store: the forced kind; else for a setting, the text read by the
// setting's kind; else a kind inferred from the text.
prefs::Value parseValue(const std::string& text, ForcedKind kind, const prefs::Setting* setting) {
  int64_t integer = 0;
  switch (kind) {
    case ForcedKind::Bool: {
      std::string lower;
      for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower == "true" || lower == "yes" || lower == "1") return true;
      if (lower == "false" || lower == "no" || lower == "0") return false;
      throw ToolError(
          "--bool: \"" + host::utf8::printable(text) + "\" is not a boolean; use true or false", 2);
    }
    case ForcedKind::Integer:
      if (parseInteger(text, integer)) return integer;
      throw ToolError("--int: \"" + host::utf8::printable(text) +
                          "\" is not an integer; use decimal digits with an optional sign, "
                          "between -9223372036854775808 and 9223372036854775807",
                      2);
    case ForcedKind::String:
      return text;
    case ForcedKind::None:
      break;
  }
  if (setting) return prefs::parseText(*setting, text);
  if (text == "true") return true;
  if (text == "false") return false;
  if (parseInteger(text, integer)) return integer;
  return text;
}

void runSet(const GlobalOptions& options, const std::string& key, const std::string& text,
            ForcedKind kind, Force force) {
  const prefs::Setting* setting = prefs::findSetting(key);
  const prefs::Value value = parseValue(text, kind, setting);
  // Text that cannot be stored at all is left to the store, which says why.
  const bool storable =
      host::utf8::storageProblem(key).empty() && host::utf8::storageProblem(text).empty();
  Session session(deviceRoot(options));
  const SettingWrite write =
      writeSetting(session.defaults(), key, value, storable ? force : Force::Yes);
  if (write.status == SettingWrite::Status::Failed) throw ToolError(write.message);
  if (write.status == SettingWrite::Status::Refused)
    throw ToolError(write.message + (write.message.back() == '?' ? " " : ". ") +
                        "Nothing was stored (--force stores it all the same)",
                    2);
  const std::string stored(prefs::kindName(prefs::kindOf(value)));
  std::cout << host::utf8::printable(key) << " = "
            << host::utf8::printable(display(toJson(objectOf(value).get()), stored)) << " ("
            << stored << ", stored)\n";
  if (storable && !write.message.empty())
    std::cerr << "lumora: note: stored with --force: " << host::utf8::printable(write.message)
              << "\n";
}

void runDelete(const GlobalOptions& options, const std::string& key) {
  Session session(deviceRoot(options));
  const bool wasStored = session.defaults().isStored(key);
  if (host::WriteResult result = session.defaults().write(key, nullptr); !result)
    throw ToolError(result.error);
  std::optional<Json> now = record(session, key);
  if (!wasStored)
    std::cout << host::utf8::printable(key) << " was not stored; nothing to delete";
  else
    std::cout << "deleted " << host::utf8::printable(key);
  if (now) std::cout << "; it reads its default " << display(*now);
  std::cout << "\n";
}

void runDescribe(const GlobalOptions& options, const std::string& key, bool json) {
  const prefs::Setting* s = prefs::findSetting(key);
  if (!s) throw ToolError(host::utf8::printable(prefs::unknownKeyMessage(key)), 2);
  Session session(deviceRoot(options));
  session.warnAboutFile();
  const Json r = *record(session, key);
  if (json) {
    Json out = {{"key", s->key},
                {"label", s->label},
                {"description", s->description},
                {"surface", prefs::surfaceName(s->surface)},
                {"kind", prefs::kindName(s->kind)},
                {"takes", prefs::valuesTaken(*s)},
                {"default", toJson(objectOf(s->defaultValue).get())},
                {"current", r}};
    if (!s->fallback.empty()) out["otherValues"] = s->fallback;
    printJson(out);
    return;
  }
  std::cout << s->key << ": " << s->label << " (" << prefs::surfaceName(s->surface) << ")\n"
            << s->description << "\n"
            << "takes:   " << prefs::valuesTaken(*s)
            << (s->fallback.empty() ? "" : "; " + s->fallback) << "\n"
            << "default: " << prefs::display(s->defaultValue) << "\n"
            << "current: " << display(r) << " (" << r["source"].get<std::string>() << ")\n";
  if (r.contains("problem"))
    std::cout << "problem: " << host::utf8::printable(r["problem"].get<std::string>()) << "\n";
}

}  // namespace

void addPrefsCommand(CLI::App& app, const GlobalOptions& options) {
  CLI::App* prefs = app.add_subcommand("prefs", "list, read and change the preference suite");
  prefs->require_subcommand(1);

  struct Arguments {
    bool json = false;
    std::string key, value;
    bool asBool = false, asInt = false, asString = false, force = false;
  };
  auto args = std::make_shared<Arguments>();

  CLI::App* list = prefs->add_subcommand(
      "list", "every registered setting and every stored key, with value, kind and source");
  list->add_flag("--json", args->json,
                 "print one JSON object: key -> {value, kind, source[, problem]}");
  list->callback([&options, args] { runList(options, args->json); });

  CLI::App* get = prefs->add_subcommand("get", "the value a setting reads as");
  get->add_option("KEY", args->key, "setting name")->required();
  get->add_flag("--json", args->json, "print {value, kind, source}");
  get->callback([&options, args] { runGet(options, args->key, args->json); });

  CLI::App* describe = prefs->add_subcommand(
      "describe", "what a setting does, the values it takes, its default and current value");
  describe->add_option("KEY", args->key, "setting name")->required();
  describe->add_flag("--json", args->json, "print the description as JSON");
  describe->callback([&options, args] { runDescribe(options, args->key, args->json); });

  CLI::App* set =
      prefs->add_subcommand("set", "store a value the setting takes (see prefs describe KEY)");
  set->add_option("KEY", args->key, "setting name")->required();
  set->add_option("VALUE", args->value, "value")->required();
  CLI::Option* asBool = set->add_flag("--bool", args->asBool, "store a boolean (true or false)");
  CLI::Option* asInt = set->add_flag("--int", args->asInt, "store an integer");
  CLI::Option* asString = set->add_flag("--string", args->asString, "store the text as a string");
  set->add_flag("--force", args->force,
                "store an unknown key or a value the setting does not take all the same");
  asBool->excludes(asInt)->excludes(asString);
  asInt->excludes(asBool)->excludes(asString);
  asString->excludes(asBool)->excludes(asInt);
  set->callback([&options, args] {
    const ForcedKind kind = args->asBool     ? ForcedKind::Bool
                            : args->asInt    ? ForcedKind::Integer
                            : args->asString ? ForcedKind::String
                                             : ForcedKind::None;
    runSet(options, args->key, args->value, kind, args->force ? Force::Yes : Force::No);
  });

  CLI::App* remove = prefs->add_subcommand(
      "delete", "remove a stored value, so the setting reads its default again");
  remove->add_option("KEY", args->key, "setting name")->required();
  remove->callback([&options, args] { runDelete(options, args->key); });

  addPresetCommands(*prefs, options);
}

}  // namespace tool
