#include "prefs/schema.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace prefs {

namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool isHex(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool allHex(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), isHex);
}

// Edit distance (insertions, deletions, substitutions), ignoring letter case.
size_t distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string listOf(const std::vector<std::string>& items, const char* last = " or ") {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i)
    out += (i == 0 ? "" : i + 1 == items.size() ? last : ", ") + items[i];
  return out;
}

// The value as the message quotes it: text in quotes, numbers and booleans bare.
std::string quoted(const Value& value) {
  if (auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\"";
  return display(value);
}

bool parseInteger(std::string_view text, int64_t& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

// A decimal alpha, as the colour string's reader takes it: digits with an optional
// fraction. Answers its value, or nothing when it is not such a number.
std::optional<double> parseAlpha(std::string_view text) {
  const size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
  auto digits = [](std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(whole) || !digits(fraction) || (whole.empty() && fraction.empty()) ||
      (dot != std::string_view::npos && fraction.empty()))
    return std::nullopt;
  return std::strtod(std::string(text).c_str(), nullptr);
}

// What is wrong with a text given as a colour string, and what to type instead; empty
// when it is a colour string the system reads as meant.
std::string colourProblem(const std::string& text) {
  const std::string_view t = text;
  if (t.empty()) return "the text is empty";
  const size_t colon = t.find(':');
  const size_t start = t[0] == '#' ? 1 : 0;
  const std::string_view digits = t.substr(start, colon == t.npos ? t.npos : colon - start);
  const std::string_view alpha = colon == t.npos ? "" : t.substr(colon + 1);
  if (t[0] != '#') {
    if (allHex(digits) && (digits.size() == 6 || digits.size() == 3))
      return "a colour starts with \"#\": did you mean #" + text + "?";
    const std::string l = lower(text);
    if (l == "true" || l == "yes") return "colours are no longer on or off: write dominant";
    if (l == "false" || l == "no") return "colours are no longer on or off: write none";
    if (l == "none" || l == "dominant" || l == "stock")
      return "values are case-sensitive: did you mean " + l + "?";
    return "a colour is \"#\" and six hexadecimal digits, with \":\" and an alpha from 0 to 1 "
           "if you like";
  }
  if (digits.size() == 3 && allHex(digits)) {
    std::string six;
    for (char c : digits) six.append(2, c);
    return "the system reads three digits as six with leading zeros (#000" + std::string(digits) +
           "), not as #" + six + ": write six digits, such as #" + six;
  }
  if (digits.size() != 6 || !allHex(digits))
    return "a colour has six hexadecimal digits after \"#\" (0-9, A-F), such as #FF8800";
  if (colon != t.npos) {
    const std::optional<double> a = parseAlpha(alpha);
    if (!a)
      return "the alpha after \":\" is a number from 0 to 1, such as #" + std::string(digits) +
             ":0.5";
    if (*a > 1)
      return "the alpha after \":\" goes from 0 (clear) to 1 (opaque), not above: such as #" +
             std::string(digits) + ":0.5";
  }
  return {};
}

std::string takesMessage(const Setting& s, const Value& value, const std::string& hint) {
  std::string message = s.key + " takes " + valuesTaken(s) + ", not ";
  if (kindOf(value) != s.kind && std::holds_alternative<std::string>(value)) message += "the text ";
  message += quoted(value);
  if (!hint.empty()) message += ": " + hint;
  if (!s.fallback.empty()) message += " (" + s.fallback + ")";
  return message;
}

std::string checkChoice(const Setting& s, const std::string& text) {
  if (std::find(s.choices.begin(), s.choices.end(), text) != s.choices.end()) return {};
  std::string hint;
  for (const std::string& c : s.choices)
    if (lower(c) == lower(text)) hint = "did you mean " + c + "? Values are case-sensitive";
  if (hint.empty())
    for (const std::string& c : s.choices)
      if (text.size() > 2 && distance(c, text) <= 2) {
        hint = "did you mean " + c + "?";
        break;
      }
  return takesMessage(s, text, hint);
}

std::string checkColour(const Setting& s, const std::string& text) {
  if (text == "none" || text == "dominant") return {};
  if (std::find(s.choices.begin(), s.choices.end(), text) != s.choices.end()) return {};
  if (!text.empty() && text[0] == '#') {
    const std::string problem = colourProblem(text);
    return problem.empty() ? std::string() : takesMessage(s, text, problem);
  }
  for (const std::string& c : s.choices)
    if (lower(c) == lower(text))
      return takesMessage(s, text, "did you mean " + c + "? Values are case-sensitive");
  return takesMessage(s, text, colourProblem(text));
}

}  // namespace

const Setting* findSetting(std::string_view key) {
  for (const Setting& s : schema())
    if (s.key == key) return &s;
  return nullptr;
}

std::vector<std::string> nearestKeys(std::string_view key, size_t most) {
  struct Near {
    size_t distance;
    const std::string* key;
  };
  std::vector<Near> near;
  const std::string wanted = lower(key);
  const size_t limit = std::max<size_t>(2, key.size() / 5);
  for (const Setting& s : schema()) {
    const size_t d = distance(s.key, key);
    if (d <= limit)
      near.push_back({d, &s.key});
    else if (wanted.size() >= 4 && lower(s.key).find(wanted) != std::string::npos)
      near.push_back({limit + 1 + s.key.size() - key.size(), &s.key});  // a part of the key
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const Near& a, const Near& b) { return a.distance < b.distance; });
  std::vector<std::string> keys;
  for (size_t i = 0; i < near.size() && i < most; ++i) keys.push_back(*near[i].key);
  return keys;
}

std::string unknownKeyMessage(std::string_view key) {
  std::string message = "\"";
  message.append(key).append("\" is not a setting");
  if (const std::vector<std::string> near = nearestKeys(key); !near.empty())
    message += "; did you mean " + listOf(near) + "?";
  else
    message += "; `lumora prefs list` shows every setting";
  return message;
}

std::string check(const Setting& s, const Value& value) {
  switch (s.form) {
    case Form::Switch:
      return std::holds_alternative<bool>(value) ? std::string() : takesMessage(s, value, "");
    case Form::Range: {
      if (auto* text = std::get_if<std::string>(&value)) {
        std::string hint;
        if (std::optional<double> real = parseAlpha(*text))
          hint = "give a whole number, such as " + std::to_string(static_cast<int64_t>(*real));
        return takesMessage(s, value, hint);
      }
      const int64_t* number = std::get_if<int64_t>(&value);
      if (!number) return takesMessage(s, value, "");
      if (*number < s.least)
        return takesMessage(s, value, "that is below " + std::to_string(s.least));
      if (*number > s.most)
        return takesMessage(s, value, "that is above " + std::to_string(s.most));
      return {};
    }
    case Form::Choice:
    case Form::Colour: {
      const std::string* text = std::get_if<std::string>(&value);
      if (!text) {
        const bool onOff = std::holds_alternative<bool>(value) && s.form == Form::Colour;
        return takesMessage(s, value,
                            onOff ? std::string("colours are no longer on or off: write ") +
                                        (std::get<bool>(value) ? "dominant" : "none")
                                  : "");
      }
      return s.form == Form::Choice ? checkChoice(s, *text) : checkColour(s, *text);
    }
  }
  return {};
}

std::string check(std::string_view key, const Value& value) {
  const Setting* s = findSetting(key);
  return s ? check(*s, value) : unknownKeyMessage(key);
}

Value parseText(const Setting& s, std::string_view text) {
  if (s.kind == Kind::Bool) {
    const std::string l = lower(text);
    if (l == "true" || l == "yes" || l == "1") return true;
    if (l == "false" || l == "no" || l == "0") return false;
  }
  int64_t number = 0;
  if (s.kind == Kind::Integer && parseInteger(text, number)) return number;
  return std::string(text);
}

std::string valuesTaken(const Setting& s) {
  switch (s.form) {
    case Form::Switch:
      return "true or false";
    case Form::Choice:
      return listOf(s.choices);
    case Form::Colour: {
      std::vector<std::string> words = {"none"};
      words.insert(words.end(), s.choices.begin(), s.choices.end());
      words.push_back("dominant");
      words.push_back("a colour such as #FF8800 or #FF8800:0.5");
      return listOf(words);
    }
    case Form::Range:
      return "a whole number from " + std::to_string(s.least) + " to " + std::to_string(s.most) +
             " (" + s.unit + ")";
  }
  return {};
}

std::string display(const Value& value) {
  if (auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  return std::get<std::string>(value);
}

Kind kindOf(const Value& value) {
  return std::holds_alternative<bool>(value)      ? Kind::Bool
         : std::holds_alternative<int64_t>(value) ? Kind::Integer
                                                  : Kind::String;
}

std::string_view kindName(Kind kind) {
  return kind == Kind::Bool ? "bool" : kind == Kind::Integer ? "integer" : "string";
}

const std::vector<std::string>& surfaceNames() {
  static const std::vector<std::string> names = {"general", "banner", "lockscreen", "widget",
                                                 "mediaplayer"};
  return names;
}

std::string_view surfaceName(Surface surface) {
  return surfaceNames()[static_cast<size_t>(surface)];
}

std::optional<Surface> surfaceNamed(std::string_view name) {
  const auto& names = surfaceNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<Surface>(i);
  return std::nullopt;
}

}  // namespace prefs
