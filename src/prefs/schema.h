// The schema of the 68 registered settings: for each, its key, kind, default, the values
// it takes, the surface it belongs to, a label and a one-line description. The registered
// defaults, the checked writes of the tool and the settings panel, presets and the
// settings reference all read this one table. The system itself still reads whatever the
// store holds; checking values is the job of what writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace prefs {

// A setting's value: a boolean, an integer or a string.
using Value = std::variant<bool, int64_t, std::string>;

enum class Kind { Bool, Integer, String };

// The surface a setting belongs to, named on the command line by the key's suffix in
// lower case; the five switches are "general".
enum class Surface { General, Banner, Lockscreen, Widget, Mediaplayer };

// The form of the values a setting takes.
enum class Form {
  Switch,  // true or false
  Choice,  // one of `choices`
  Colour,  // none, dominant, a colour string, or one of `choices` (such as "stock")
  Range,   // a whole number from `least` to `most`
};

struct Setting {
  std::string key;
  Kind kind = Kind::String;
  Value defaultValue;
  Surface surface = Surface::General;
  Form form = Form::Choice;
  std::vector<std::string> choices;  // Choice: the texts; Colour: keywords beyond none, dominant
  int64_t least = 0, most = 0;       // Range
  std::string unit;                  // Range: "points"
  std::string label;                 // a few words: "Border side"
  std::string description;           // one line a person understands
  std::string fallback;  // what the system does with any other value; empty when nothing
};

// The 68 settings: the five switches, each notification setting for "Banner" and then
// "Lockscreen", then the widget and media-player settings.
const std::vector<Setting>& schema();
// The setting with this key, or null.
const Setting* findSetting(std::string_view key);
// The registered keys nearest to an unknown one (a typo, a missing suffix, another
// letter case), best first, at most `most`; empty when none is near.
std::vector<std::string> nearestKeys(std::string_view key, size_t most = 4);

// Why the setting does not take the value, for a person: what it takes, what was wrong
// and what to type instead; empty when it takes it.
std::string check(const Setting& setting, const Value& value);
// The same by key; an unknown key is refused, naming the nearest keys.
std::string check(std::string_view key, const Value& value);
// The message for a key that is not a setting, with the nearest keys.
std::string unknownKeyMessage(std::string_view key);

// The value a person typed, read by the setting's kind: "true"/"false" (also yes/no,
// 1/0) for a switch, decimal digits for a number; what does not read as the setting's
// kind stays text, so that `check` says what is wrong with it.
Value parseText(const Setting& setting, std::string_view text);

// "all, top, right, bottom or left"; "a whole number from 0 to 50 (points)".
std::string valuesTaken(const Setting& setting);
// A value as a person types it: true, 12, #FF8800.
std::string display(const Value& value);
Kind kindOf(const Value& value);
std::string_view kindName(Kind kind);  // "bool", "integer", "string"
std::string_view surfaceName(Surface surface);
std::optional<Surface> surfaceNamed(std::string_view name);
// Every surface name, in order: general, banner, lockscreen, widget, mediaplayer.
const std::vector<std::string>& surfaceNames();

}  // namespace prefs
