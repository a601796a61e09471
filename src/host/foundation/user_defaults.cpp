#include "host/foundation/user_defaults.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/utf8.h"
#include "host/host.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// What identifies one version of a file: a writer that renames a new file in place
// changes the inode, one that rewrites it changes the size or the times.
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modified = 0;  // nanoseconds
  int64_t changed = 0;

  bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const fs::path& file) {
  struct stat st {};
  FileStamp stamp;
  if (::stat(file.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modified = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  stamp.changed = int64_t{st.st_ctim.tv_sec} * 1000000000 + st.st_ctim.tv_nsec;
  return stamp;
}

DefaultsValue valueOf(Ref<> object) {
  DefaultsValue value;
  if (auto* number = dynamic_cast<const NSNumber*>(object.get())) {
    value.boolValue = number->boolValue();
    value.integerValue = number->integerValue();
    value.floatValue = number->floatValue();
  } else if (auto* string = dynamic_cast<const NSString*>(object.get())) {
    value.boolValue = string->boolValue();
    value.integerValue = string->integerValue();
    value.floatValue = string->floatValue();
  }
  value.object = std::move(object);
  return value;
}

std::chrono::milliseconds& writePatience() {
  static std::chrono::milliseconds patience{10000};
  return patience;
}

bool validSuiteName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

}  // namespace

// Who asks for a write: the system by message (the migration at start), or a person
// through the tool or the settings panel.
enum class Writer { System, Person };

// The persistent layer of one suite: the file's dictionary as parsed (the source of
// truth for writing, so values of kinds the model does not know survive a rewrite) and
// the values it holds, ready for reads.
struct PreferenceSuite {
  std::string name;
  fs::path file;
  plist::Node tree;  // the root dictionary; null when there is no file or it is unreadable
  plist::Format format = plist::Format::Binary;
  DefaultsMap values;
  std::string problem;     // empty when readable
  std::string unwritable;  // text of the file that a rewrite could not carry; empty if none
  FileStamp stamp;

  void load();
  WriteResult write(const std::vector<DefaultsChange>& changes, Writer writer);

 private:
  void read();           // the file into `tree`, or why not into `problem`
  void refreshValues();  // `values` from `tree`
  WriteResult commit();
};

void PreferenceSuite::load() {
  read();
  refreshValues();
}

void PreferenceSuite::read() {
  tree.reset();
  problem.clear();
  unwritable.clear();
  format = plist::Format::Binary;  // what a new file is written in
  stamp = stampOf(file);
  const FileContents contents = readRegularFile(file, kMaxPreferenceFileBytes);
  if (contents.status == FileContents::Status::Missing) return;
  if (contents.status == FileContents::Status::Failed) {
    problem = "the preference file " + file.string() + " cannot be read: " + contents.error;
    return;
  }
  // An empty file holds nothing that a write could lose.
  if (contents.bytes.empty()) return;
  plist::Parsed parsed = plist::parse(contents.bytes);
  if (!parsed.root) {
    problem = "the preference file " + file.string() + " " + parsed.error;
    return;
  }
  if (plist_get_node_type(parsed.root.get()) != PLIST_DICT) {
    problem = "the preference file " + file.string() + " does not hold a dictionary";
    return;
  }
  tree = std::move(parsed.root);
  format = parsed.format;
  unwritable = plist::inspectText(tree.get()).unwritable;
}

void PreferenceSuite::refreshValues() {
  values.clear();
  if (!tree) return;
  plist::forEachItem(tree.get(), [&](const char* key, plist_t node) {
    values.insert_or_assign(NSString::make(key), valueOf(plist::toObject(node)));
    return true;
  });
}

WriteResult PreferenceSuite::write(const std::vector<DefaultsChange>& changes, Writer writer) {
  // Refuse what could not be read back before touching anything.
  std::vector<plist::Node> nodes;
  for (const DefaultsChange& change : changes) {
    std::string shown = utf8::printable(change.key);
    shown.insert(shown.begin(), '"');
    shown.push_back('"');
    plist::Node& node = nodes.emplace_back();
    if (!change.value) continue;
    if (std::string why = utf8::storageProblem(change.key); !why.empty())
      return {"the key " + shown + " cannot be stored: " + why + "; nothing was changed"};
    if (std::string why = plist::unstorable(change.value.get()); !why.empty())
      return {"the value for " + shown + " cannot be stored: " + why + "; nothing was changed"};
    node = plist::fromObject(change.value.get());
    if (!node)
      throw rt::ProgrammingError("NSUserDefaults: the value for " + shown +
                                 " is not a property-list value");
  }
  // Writers take turns, and each starts from the file as it is now, so nothing another
  // process wrote since this one last read is lost.
  WriteLock lock(file, writePatience());
  if (!lock.held()) return {lock.error() + "; nothing was changed"};
  removeStaleTemporaries(file);
  read();  // the values for reads are made once, from what the file holds in the end
  WriteResult result;
  if (!problem.empty()) {
    result = {problem +
              "; nothing was changed. Repair the file, or move it away to start again from the "
              "defaults, then try again"};
  } else if (writer == Writer::System && !unwritable.empty()) {
    result = {"the preference file " + file.string() + " holds text that cannot be written back (" +
              unwritable + "); the system does not rewrite it"};
  } else {
    bool changed = false;
    for (size_t i = 0; i < changes.size(); ++i) {
      const char* key = changes[i].key.c_str();
      if (nodes[i]) {
        if (!tree) tree.reset(plist_new_dict());
        plist_dict_set_item(tree.get(), key, nodes[i].release());
        changed = true;
      } else if (tree && plist_dict_get_item(tree.get(), key)) {
        plist_dict_remove_item(tree.get(), key);
        changed = true;
      }
    }
    if (changed) result = commit();
    if (!result) read();  // the changed tree was not written: take what the file holds
  }
  refreshValues();
  return result;
}

// Writes `tree` to the file, unless the file would not read back as the same values.
WriteResult PreferenceSuite::commit() {
  const std::string unchanged = "; nothing was changed";
  const plist::TextReport text = plist::inspectText(tree.get());
  if (!text.unwritable.empty())
    return {"the preference file " + file.string() + " holds text that cannot be written back (" +
            text.unwritable + ")" + unchanged + ". Remove or repair that value, then try again"};
  // Text XML cannot carry is written in binary, as the device writes its own files.
  const plist::Format written = text.xmlSafe ? format : plist::Format::Binary;
  const std::string bytes = plist::serialize(tree.get(), written);
  if (bytes.size() > kMaxPreferenceFileBytes)
    return {"the preference file " + file.string() + " would grow to " +
            describeSize(bytes.size()) + ", more than the " +
            describeSize(kMaxPreferenceFileBytes) + " allowed" + unchanged};
  plist::Parsed check = plist::parse(bytes);
  if (!check.root)
    return {"the preference file " + file.string() + " would not be readable: it " + check.error +
            unchanged};
  if (!plist::sameValue(check.root.get(), tree.get())) {
    std::string differs;
    plist::forEachItem(tree.get(), [&](const char* key, plist_t node) {
      const plist_t back = plist_dict_get_item(check.root.get(), key);
      if (!back || !plist::sameValue(node, back)) differs = key;
      return differs.empty();
    });
    return {"the preference file " + file.string() +
            " would not read back as written (the value of \"" + utf8::printable(differs) +
            "\" would change)" + unchanged};
  }
  if (std::string error = replaceFile(file, bytes); !error.empty()) return {error};
  tree = std::move(check.root);
  format = written;
  unwritable.clear();
  stamp = stampOf(file);
  return {};
}

namespace {

struct Registry {
  std::map<std::string, std::weak_ptr<PreferenceSuite>> suites;
};

Registry& registry() {
  static Registry r;
  return r;
}

// Instances of one suite share its persistent layer, as they share its file.
std::shared_ptr<PreferenceSuite> suiteNamed(const std::string& name) {
  auto& slot = registry().suites[name];
  if (auto live = slot.lock()) return live;
  auto suite = std::make_shared<PreferenceSuite>();
  suite->name = name;
  suite->file = devicePath("/var/mobile/Library/Preferences/" + name + ".plist");
  suite->load();
  slot = suite;
  return suite;
}

}  // namespace

// ---- NSUserDefaults

Ref<> NSUserDefaults::initWithSuiteName(id suiteName) {
  const NSString* name = asNSString(suiteName);
  if (!name || !validSuiteName(name->text())) return nullptr;
  suite_ = suiteNamed(name->text());
  return ref();
}

const DefaultsValue* NSUserDefaults::lookup(id key) const {
  const NSString* k = asNSString(key);
  if (!k) return nullptr;
  if (suite_) {
    auto it = suite_->values.find(k);
    if (it != suite_->values.end()) return &it->second;
  }
  auto it = registered_.find(k);
  return it == registered_.end() ? nullptr : &it->second;
}

Ref<> NSUserDefaults::objectForKey(id key) const {
  const DefaultsValue* v = lookup(key);
  return v ? v->object : nullptr;
}

bool NSUserDefaults::boolForKey(id key) const {
  const DefaultsValue* v = lookup(key);
  return v && v->boolValue;
}

int64_t NSUserDefaults::integerForKey(id key) const {
  const DefaultsValue* v = lookup(key);
  return v ? v->integerValue : 0;
}

float NSUserDefaults::floatForKey(id key) const {
  const DefaultsValue* v = lookup(key);
  return v ? v->floatValue : 0;
}

void NSUserDefaults::setObject(id value, id key) {
  const NSString* k = asNSString(key);
  if (!k) throw rt::ProgrammingError("NSUserDefaults: keys must be strings");
  if (!suite_) return;
  // A refused or failed write leaves the store as it was; the host does not report it.
  static_cast<void>(suite_->write({{k->text(), value ? value->ref() : nullptr}}, Writer::System));
}

void NSUserDefaults::removeObjectForKey(id key) {
  setObject(nullptr, key);
}

void NSUserDefaults::registerDefaults(id dictionary) {
  auto* pairs = dynamic_cast<const NSDictionary*>(dictionary);
  if (!pairs) return;
  for (const auto& [key, value] : pairs->storage())
    registered_.insert_or_assign(key, valueOf(value));
}

bool NSUserDefaults::synchronize() {
  if (!suite_) return true;
  if (stampOf(suite_->file) != suite_->stamp) suite_->load();
  return suite_->problem.empty();
}

const std::string& NSUserDefaults::suiteName() const {
  static const std::string none;
  return suite_ ? suite_->name : none;
}

fs::path NSUserDefaults::filePath() const {
  return suite_ ? suite_->file : fs::path();
}

bool NSUserDefaults::readable() const {
  return !suite_ || suite_->problem.empty();
}

std::string NSUserDefaults::problem() const {
  return suite_ ? suite_->problem : std::string();
}

std::string NSUserDefaults::unwritableText() const {
  return suite_ ? suite_->unwritable : std::string();
}

WriteResult NSUserDefaults::write(std::string_view key, id value) {
  if (!suite_) return {"the store is not bound to a suite"};
  return suite_->write({{std::string(key), value ? value->ref() : nullptr}}, Writer::Person);
}

WriteResult NSUserDefaults::write(const std::vector<DefaultsChange>& changes) {
  if (!suite_) return {"the store is not bound to a suite"};
  return suite_->write(changes, Writer::Person);
}

bool NSUserDefaults::isStored(std::string_view key) const {
  const NSString probe{std::string(key)};
  return suite_ && suite_->values.count(&probe);
}

Ref<> NSUserDefaults::storedValue(std::string_view key) const {
  if (!suite_) return nullptr;
  const NSString probe{std::string(key)};
  auto it = suite_->values.find(&probe);
  return it == suite_->values.end() ? nullptr : it->second.object;
}

std::vector<std::string> NSUserDefaults::storedKeys() const {
  std::vector<std::string> keys;
  if (suite_)
    for (const auto& [key, value] : suite_->values) keys.push_back(key->text());
  std::sort(keys.begin(), keys.end());
  return keys;
}

std::vector<std::string> NSUserDefaults::registeredKeys() const {
  std::vector<std::string> keys;
  for (const auto& [key, value] : registered_) keys.push_back(key->text());
  std::sort(keys.begin(), keys.end());
  return keys;
}

Ref<> NSUserDefaults::registeredValue(std::string_view key) const {
  const NSString probe{std::string(key)};
  auto it = registered_.find(&probe);
  return it == registered_.end() ? nullptr : it->second.object;
}

// ---- registration

void NSUserDefaults::bind(ClassBuilder<NSUserDefaults>& b) {
  b.method<&NSUserDefaults::initWithSuiteName>(sel::initWithSuiteName)
      .method<&NSUserDefaults::objectForKey>(sel::objectForKey)
      .method<&NSUserDefaults::objectForKey>(sel::valueForKey)
      .method<&NSUserDefaults::boolForKey>(sel::boolForKey)
      .method<&NSUserDefaults::integerForKey>(sel::integerForKey)
      .method<&NSUserDefaults::floatForKey>(sel::floatForKey)
      .method<&NSUserDefaults::setObject>(sel::setObject_forKey)
      .method<&NSUserDefaults::setObject>(sel::setValue_forKey)
      .method<&NSUserDefaults::removeObjectForKey>(sel::removeObjectForKey)
      .method<&NSUserDefaults::registerDefaults>(sel::registerDefaults)
      .method<&NSUserDefaults::synchronize>(sel::synchronize);
}

void defineUserDefaults(ClassList& list) {
  list.define<NSUserDefaults>(NSObject::cls);
}

void setDefaultsWritePatience(std::chrono::milliseconds patience) {
  writePatience() = patience;
}

void resetUserDefaults() {
  registry().suites.clear();
}

void pickUpExternalDefaultsChanges() {
  auto& suites = registry().suites;
  for (auto it = suites.begin(); it != suites.end();) {
    auto suite = it->second.lock();
    if (!suite) {
      it = suites.erase(it);
      continue;
    }
    if (stampOf(suite->file) != suite->stamp) suite->load();
    ++it;
  }
}

}  // namespace host
