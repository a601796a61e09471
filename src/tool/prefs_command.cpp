// `lumora prefs`: list, read, change and delete settings of the preference suite. Each
// run boots the host model and creates the store as the host's start-up does, so a file
// of the older layout is migrated first.
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
#include "tool/commands.h"
#include "tool/output.h"

namespace tool {
namespace {

using rt::id;
using rt::Ref;

// The booted host and the shared store for one command; resets the process after.
class Session {
 public:
  explicit Session(const GlobalOptions& options) : host_({deviceRoot(options), {}}) {
    store_ = rt::send(prefs::registerLumoraPrefs(), sel::sharedInstance);
    defaults_ = host::NSUserDefaults::cls.cast(store_.get());
    if (!defaults_) throw ToolError("the host model has no user defaults; cannot open the suite");
  }
  id store() const { return store_.get(); }
  host::NSUserDefaults& defaults() const { return *defaults_; }
  // Says on standard error when the file is ignored, or holds text that stops the
  // system from rewriting it.
  void warnAboutFile() const {
    if (!defaults_->readable())
      std::cerr << "lumora: warning: " << defaults_->problem()
                << "; it is ignored, so every setting reads its default\n";
    if (std::string text = defaults_->unwritableText(); !text.empty())
      std::cerr << "lumora: warning: the preference file holds text that cannot be written back ("
                << text << "), so the system leaves the file as it is and does not migrate it; "
                << "`lumora prefs delete` that key or repair the file\n";
  }

 private:
  HostSession host_;  // declared first: the store is released before the reset
  Ref<> store_;
  host::NSUserDefaults* defaults_ = nullptr;
};

const prefs::Default* registeredDefault(const std::string& key) {
  for (const prefs::Default& d : prefs::registeredDefaults())
    if (d.key == key) return &d;
  return nullptr;
}

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

// What a key reads as, from where; nothing when it is neither stored nor registered.
std::optional<Json> record(const Session& session, const std::string& key) {
  const bool stored = session.defaults().isStored(key);
  Ref<> value = rt::send(session.store(), sel::objectForKey, host::NSStr(key));
  if (!stored && !value) return std::nullopt;
  return Json{{"value", toJson(value.get())},
              {"kind", kindOf(value.get())},
              {"source", stored ? "stored" : "default"}};
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
                    r["source"].get<std::string>()});
    valueWidth = std::max(valueWidth, columns(rows.back()[1]));
  }
  auto pad = [](const std::string& text, size_t to) {
    return text + std::string(to - std::min(to, columns(text)), ' ');
  };
  for (const auto& [key, value, kind, source] : rows)
    std::cout << pad(key, keyWidth) << "  " << pad(value, valueWidth) << "  "
              << pad(kind, kindWidth) << "  " << source << "\n";
}

void runList(const GlobalOptions& options, bool json) {
  Session session(options);
  session.warnAboutFile();
  Json all = Json::object();
  for (const prefs::Default& d : prefs::registeredDefaults())
    if (auto r = record(session, d.key)) all[d.key] = *r;
  for (const std::string& key : session.defaults().storedKeys())
    if (!all.contains(key))
      if (auto r = record(session, key)) all[key] = *r;
  if (json)
    printJson(all);
  else
    printTable(all);
}

std::string nothingMessage(const std::string& key) {
  return "\"" + host::utf8::printable(key) +
         "\" reads as nothing: it is neither stored nor a registered setting (see `lumora "
         "prefs list`)";
}

void runGet(const GlobalOptions& options, const std::string& key, bool json) {
  Session session(options);
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

// The value to store: the forced kind, or a kind inferred from the text.
Ref<> parseValue(const std::string& text, ForcedKind kind) {
  int64_t integer = 0;
  switch (kind) {
    case ForcedKind::Bool: {
      std::string lower;
      for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower == "true" || lower == "yes" || lower == "1")
        return host::NSNumber::numberWithBool(true);
      if (lower == "false" || lower == "no" || lower == "0")
        return host::NSNumber::numberWithBool(false);
      throw ToolError(
          "--bool: \"" + host::utf8::printable(text) + "\" is not a boolean; use true or false", 2);
    }
    case ForcedKind::Integer:
      if (parseInteger(text, integer)) return host::NSNumber::numberWithInteger(integer);
      throw ToolError("--int: \"" + host::utf8::printable(text) +
                          "\" is not an integer; use decimal digits with an optional sign, "
                          "between -9223372036854775808 and 9223372036854775807",
                      2);
    case ForcedKind::String:
      return host::NSStr(text);
    case ForcedKind::None:
      break;
  }
  if (text == "true") return host::NSNumber::numberWithBool(true);
  if (text == "false") return host::NSNumber::numberWithBool(false);
  if (parseInteger(text, integer)) return host::NSNumber::numberWithInteger(integer);
  return host::NSStr(text);
}

std::string article(const std::string& kind) {
  return (kind == "integer" ? "an " : "a ") + kind;
}

std::string kindOfDefault(const prefs::Default& d) {
  if (std::holds_alternative<bool>(d.value)) return "bool";
  if (std::holds_alternative<int64_t>(d.value)) return "integer";
  return "string";
}

void runSet(const GlobalOptions& options, const std::string& key, const std::string& text,
            ForcedKind kind) {
  Ref<> value = parseValue(text, kind);
  Session session(options);
  if (host::WriteResult result = session.defaults().write(key, value.get()); !result)
    throw ToolError(result.error);
  const std::string stored = kindOf(value.get());
  std::cout << host::utf8::printable(key) << " = "
            << host::utf8::printable(display(toJson(value.get()), stored)) << " (" << stored
            << ", stored)\n";
  if (const prefs::Default* d = registeredDefault(key)) {
    if (kindOfDefault(*d) != stored)
      std::cerr << "lumora: note: \"" << key << "\" holds " << article(kindOfDefault(*d))
                << " by default; it now holds " << article(stored) << "\n";
  } else {
    std::cerr << "lumora: note: \"" << host::utf8::printable(key)
              << "\" is not a registered setting; the system may not read it\n";
  }
}

void runDelete(const GlobalOptions& options, const std::string& key) {
  Session session(options);
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

}  // namespace

void addPrefsCommand(CLI::App& app, const GlobalOptions& options) {
  CLI::App* prefs = app.add_subcommand("prefs", "list, read and change the preference suite");
  prefs->require_subcommand(1);

  struct Arguments {
    bool json = false;
    std::string key, value;
    bool asBool = false, asInt = false, asString = false;
  };
  auto args = std::make_shared<Arguments>();

  CLI::App* list = prefs->add_subcommand(
      "list", "every registered setting and every stored key, with value, kind and source");
  list->add_flag("--json", args->json, "print one JSON object: key -> {value, kind, source}");
  list->callback([&options, args] { runList(options, args->json); });

  CLI::App* get = prefs->add_subcommand("get", "the value a setting reads as");
  get->add_option("KEY", args->key, "setting name")->required();
  get->add_flag("--json", args->json, "print {value, kind, source}");
  get->callback([&options, args] { runGet(options, args->key, args->json); });

  CLI::App* set = prefs->add_subcommand(
      "set", "store a value: true/false is a bool, an integer an integer, the rest a string");
  set->add_option("KEY", args->key, "setting name")->required();
  set->add_option("VALUE", args->value, "value")->required();
  CLI::Option* asBool = set->add_flag("--bool", args->asBool, "store a boolean (true or false)");
  CLI::Option* asInt = set->add_flag("--int", args->asInt, "store an integer");
  CLI::Option* asString = set->add_flag("--string", args->asString, "store the text as a string");
  asBool->excludes(asInt)->excludes(asString);
  asInt->excludes(asBool)->excludes(asString);
  asString->excludes(asBool)->excludes(asInt);
  set->callback([&options, args] {
    const ForcedKind kind = args->asBool     ? ForcedKind::Bool
                            : args->asInt    ? ForcedKind::Integer
                            : args->asString ? ForcedKind::String
                                             : ForcedKind::None;
    runSet(options, args->key, args->value, kind);
  });

  CLI::App* remove = prefs->add_subcommand(
      "delete", "remove a stored value, so the setting reads its default again");
  remove->add_option("KEY", args->key, "setting name")->required();
  remove->callback([&options, args] { runDelete(options, args->key); });
}

}  // namespace tool
