// NSUserDefaults: a suite of settings read from two layers, the suite's property-list
// file under the device root (the persistent layer, shared with other processes) and
// defaults registered in memory (the registration layer). Reads are answered from
// memory; writes go to the file at once.
//
// A write holds the suite's lock file (".<suite>.plist.lock") while it re-reads the
// file, changes it and renames the new file in place (see file_io.h), so writers in
// several processes take turns and none loses another's change; readers take no lock.
// Nothing is written that would not read back as the values meant: keys and strings
// must be valid UTF-8 without NUL, text XML cannot carry makes the file binary, and the
// new file is parsed and compared before it replaces the old one.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/foundation/values.h"

namespace host {

// The largest preference file read or written. Settings take a few kilobytes; the
// device's own defaults system warns about a suite beyond this size.
inline constexpr uint64_t kMaxPreferenceFileBytes = uint64_t{4} << 20;

// The outcome of a write to a suite's file: empty `error` when it was written.
struct [[nodiscard]] WriteResult {
  std::string error;  // what went wrong, naming the file, and what to do
  explicit operator bool() const { return error.empty(); }
};

// A value as the typed reads answer it, worked out once when it is stored or registered.
struct DefaultsValue {
  Ref<> object;  // nil for a stored kind the model has no value for (a date)
  bool boolValue = false;
  int64_t integerValue = 0;
  float floatValue = 0;
};

using DefaultsMap = StringKeyMap<DefaultsValue>;

// One change of a batch written at once: the key and its new value (nil removes it).
struct DefaultsChange {
  std::string key;
  Ref<> value;
};

struct PreferenceSuite;  // the persistent layer of one suite, shared by its instances

class NSUserDefaults : public NSObject {
 public:
  static inline const rt::ClassOf<NSUserDefaults> cls{"NSUserDefaults"};
  static void bind(ClassBuilder<NSUserDefaults>& b);
  // ---- Messages
  // Binds the store to the suite's file "/var/mobile/Library/Preferences/<suite>.plist".
  // Answers nil for a nil suite name and for one that is not a plain file name.
  Ref<> initWithSuiteName(id suiteName);
  // The stored value, else the registered default, else nil. Also `valueForKey:`.
  Ref<> objectForKey(id key) const;
  // A number's value, a string read by the string's own rules; NO, 0, 0.0 otherwise.
  bool boolForKey(id key) const;
  int64_t integerForKey(id key) const;
  float floatForKey(id key) const;
  // Stores a property-list value (a nil value removes the key). Does nothing when the
  // file cannot be written, and never rewrites a file holding text that a rewrite could
  // not carry (see `unwritableText`); use `write` to learn why.
  void setObject(id value, id key);
  void removeObjectForKey(id key);
  // Adds the dictionary's pairs to the registration layer; never persisted.
  void registerDefaults(id dictionary);
  // Re-reads the file if it changed; NO when the file cannot be read.
  bool synchronize();

  // ---- C++ face for the tool and status reports
  const std::string& suiteName() const;
  // The suite's file under the device root; empty before initWithSuiteName:.
  std::filesystem::path filePath() const;
  // NO when the file exists but cannot be read or parsed: the store then reads as
  // empty (defaults only) and refuses every write, so the file is never overwritten.
  bool readable() const;
  // Why the file is unreadable, naming it; empty when it is readable. A refused write
  // answers this followed by what to do.
  std::string problem() const;
  // What the file holds that the store cannot write back unchanged (a string or key that
  // is not valid UTF-8 or holds a NUL), saying where; empty when nothing. The store
  // reads such a file as well as it can, and messages never rewrite it.
  std::string unwritableText() const;
  // Writes `value` (nil removes) under the key, as a person asks through the tool or
  // the settings panel, and answers why it failed, if it did. A key or value that is
  // not valid UTF-8 or holds a NUL is refused, as is a write whose result would still
  // hold unwritable text or would not read back the same. A value that is not a
  // property-list value is a programming error.
  WriteResult write(std::string_view key, id value);
  // Writes every change in one locked, atomic replacement of the file, or none of them:
  // a change that cannot be stored refuses the whole batch. Each change applies to the
  // file as it is when the lock is taken, so writes of other processes are kept.
  WriteResult write(const std::vector<DefaultsChange>& changes);
  // The persistent layer: whether the key is stored, its value (nil for a kind the
  // model has no value for), every stored key in key order.
  bool isStored(std::string_view key) const;
  Ref<> storedValue(std::string_view key) const;
  std::vector<std::string> storedKeys() const;
  // The registration layer's keys, in key order, and its value for a key (or nil).
  std::vector<std::string> registeredKeys() const;
  Ref<> registeredValue(std::string_view key) const;

 private:
  const DefaultsValue* lookup(id key) const;

  std::shared_ptr<PreferenceSuite> suite_;
  DefaultsMap registered_;
};

// Defines NSUserDefaults; part of booting the host.
void defineUserDefaults(ClassList& list);
// How long a write waits for another process's write of the same suite before giving up
// (10 seconds unless changed); tests shorten it.
void setDefaultsWritePatience(std::chrono::milliseconds patience);
// Forgets every live suite; part of resetting the host.
void resetUserDefaults();
// Re-reads the file of every live suite that another process has changed (compared by
// inode, size and times). Called from the main queue before each batch of blocks, so
// reads never touch the file system.
void pickUpExternalDefaultsChanges();

}  // namespace host
