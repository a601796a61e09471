// The preference suite as a person changes it, through the tool or the settings panel:
// values checked against the schema (prefs/schema.h) before they are stored, one
// setting at a time or a whole preset in one locked, atomic write.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "host/foundation/user_defaults.h"
#include "prefs/lumora_prefs.h"
#include "prefs/schema.h"
#include "tool/commands.h"

namespace tool {

// Whether a write goes through although the schema refuses it: a device's file may hold
// anything, and the system tolerates it.
enum class Force { No, Yes };

// The host booted on a device root and the suite's shared store, created as the host's
// start-up creates it (a legacy file is migrated first); the process is reset after.
class PrefsSession {
 public:
  explicit PrefsSession(const std::filesystem::path& deviceRoot);
  rt::id store() const { return store_.get(); }
  host::NSUserDefaults& defaults() const { return *defaults_; }
  // Says on standard error when the file is ignored, or holds text that stops the
  // system from rewriting it.
  void warnAboutFile() const;

 private:
  HostSession host_;  // declared first: the store is released before the reset
  rt::Ref<> store_;
  host::NSUserDefaults* defaults_ = nullptr;
};

// The stored value of a key as a setting's value; nothing when the key is not stored or
// holds another kind (a real, data, an array, a dictionary).
std::optional<prefs::Value> storedSetting(const host::NSUserDefaults& store,
                                          const std::string& key);
// The value a key reads as: the stored one, else its default.
std::optional<prefs::Value> effectiveSetting(const host::NSUserDefaults& store,
                                             const std::string& key);
// The Foundation object of a setting's value (NSNumber or NSString).
rt::Ref<> objectOf(const prefs::Value& value);

// The outcome of a checked write.
struct SettingWrite {
  enum class Status { Written, Refused, Failed };
  Status status = Status::Written;
  // Refused: what the schema says is wrong and what to type instead. Failed: why the
  // store could not write the file. Written with Force::Yes: the schema's objection, if
  // any, to pass on as a note.
  std::string message;
};

// Stores one setting as a person asks: an unknown key or a value the schema refuses is
// refused (nothing stored) unless forced. The one write path of `lumora prefs set` and
// the settings panel.
SettingWrite writeSetting(host::NSUserDefaults& store, const std::string& key,
                          const prefs::Value& value, Force force);

}  // namespace tool
