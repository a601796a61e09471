#include "host/foundation/user_defaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "host/foundation/property_list.h"
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

std::string systemError(int error) {
  return std::strerror(error);
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

// Writes the bytes to a temporary file in the file's folder and renames it over the
// file, so a reader sees the old file or the new one, never a part. Answers the error.
std::string writeAtomically(const fs::path& file, const std::string& bytes) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  if (error)
    return "cannot create the folder " + file.parent_path().string() + ": " + error.message();
  std::string name = std::string(".").append(file.filename().string()).append(".XXXXXX");
  std::string temporary = (file.parent_path() / name).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return "cannot write in " + file.parent_path().string() + ": " + systemError(errno);
  auto fail = [&](const std::string& what) {
    const int saved = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return what + " " + file.string() + ": " + systemError(saved);
  };
  // Keep the permissions of the file being replaced; new files are readable by all.
  struct stat st {};
  const mode_t mode = ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) return fail("cannot write");
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail("cannot write");
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("cannot write");
  if (::close(fd) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    return "cannot write " + file.string() + ": " + systemError(saved);
  }
  if (::rename(temporary.c_str(), file.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    return "cannot replace " + file.string() + ": " + systemError(saved);
  }
  return {};
}

// Reads the whole file; answers 0 or the error number.
int readFile(const fs::path& file, std::string& data) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int saved = errno;
      ::close(fd);
      return saved;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
}

bool validSuiteName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

}  // namespace

// The persistent layer of one suite: the file's dictionary as parsed (the source of
// truth for writing, so values of kinds the model does not know survive a rewrite) and
// the values it holds, ready for reads.
struct PreferenceSuite {
  std::string name;
  fs::path file;
  plist::Node tree;  // the root dictionary; null when there is no file or it is unreadable
  plist::Format format = plist::Format::Binary;
  DefaultsMap values;
  std::string problem;  // empty when readable
  FileStamp stamp;

  void load();
  WriteResult write(std::string_view key, id value);
};

void PreferenceSuite::load() {
  tree.reset();
  values.clear();
  problem.clear();
  format = plist::Format::Binary;  // what a new file is written in
  stamp = stampOf(file);
  if (!stamp.exists) return;
  std::string data;
  if (const int error = readFile(file, data)) {
    problem =
        "the preference file " + file.string() + " cannot be read (" + systemError(error) + ")";
    return;
  }
  // An empty file holds nothing that a write could lose.
  if (data.empty()) return;
  plist::Parsed parsed = plist::parse(data);
  if (!parsed.root) {
    problem = "the preference file " + file.string() + " is not a property list";
    return;
  }
  if (plist_get_node_type(parsed.root.get()) != PLIST_DICT) {
    problem = "the preference file " + file.string() + " does not hold a dictionary";
    return;
  }
  tree = std::move(parsed.root);
  format = parsed.format;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(tree.get(), &iter);
  for (;;) {
    char* key = nullptr;
    plist_t node = nullptr;
    plist_dict_next_item(tree.get(), iter, &key, &node);
    if (!node) {
      std::free(key);
      break;
    }
    if (key) values.insert_or_assign(NSString::make(key), valueOf(plist::toObject(node)));
    std::free(key);
  }
  std::free(iter);
}

WriteResult PreferenceSuite::write(std::string_view key, id value) {
  // Another process may have written since: start from its file, so nothing it wrote is
  // lost. A file that cannot be parsed is never overwritten.
  if (stampOf(file) != stamp) load();
  if (!problem.empty())
    return {problem +
            "; nothing was changed. Repair the file, or move it away to start again from the "
            "defaults, then try again"};
  const std::string name(key);
  plist::Node node;
  if (value) {
    node = plist::fromObject(value);
    if (!node)
      throw rt::ProgrammingError("NSUserDefaults: the value for \"" + name +
                                 "\" is not a property-list value");
  } else if (!tree || !plist_dict_get_item(tree.get(), name.c_str())) {
    return {};  // nothing to remove
  }
  plist::Node next(tree ? plist_copy(tree.get()) : plist_new_dict());
  plist_t stored = nullptr;
  if (node) {
    stored = node.get();
    plist_dict_set_item(next.get(), name.c_str(), node.release());
  } else {
    plist_dict_remove_item(next.get(), name.c_str());
  }
  if (std::string error = writeAtomically(file, plist::serialize(next.get(), format));
      !error.empty())
    return {error + "; nothing was changed"};
  tree = std::move(next);
  stamp = stampOf(file);
  Ref<NSString> mapKey = NSString::make(name);
  if (stored)
    values.insert_or_assign(std::move(mapKey), valueOf(plist::toObject(stored)));
  else
    values.erase(mapKey);
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
  static_cast<void>(write(k->text(), value));
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

WriteResult NSUserDefaults::write(std::string_view key, id value) {
  if (!suite_) return {"the store is not bound to a suite"};
  return suite_->write(key, value);
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
