// The preference file: any bytes as the suite's file, then the store's creation with the
// migration of older settings (as every command starts) and a write (as `prefs set`
// does). Checks: no fault; an unreadable file is never modified; a file holding text a
// rewrite cannot carry is not modified by the migration; a write either changes nothing
// or leaves a file that parses back to exactly what the store holds.
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "prefs/lumora_prefs.h"

namespace {

namespace fs = std::filesystem;
using rt::id;

void require(bool condition) {
  if (!condition) __builtin_trap();
}

// A device root in memory when there is one (every write syncs its file and folder),
// removed when the fuzzer exits.
fs::path& root() {
  static fs::path path;
  return path;
}

const fs::path& makeRoot() {
  const fs::path base =
      fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "lumora-fuzz-prefs-XXXXXX").string();
  require(mkdtemp(pattern.data()) != nullptr);
  root() = pattern;
  std::atexit([] {
    std::error_code error;
    fs::remove_all(root(), error);
  });
  return root();
}

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Equality of Foundation values in which NaN equals NaN, as in the file.
bool same(id a, id b) {
  if (!a || !b) return a == b;
  auto* x = dynamic_cast<const host::NSNumber*>(a);
  auto* y = dynamic_cast<const host::NSNumber*>(b);
  if (x && y && std::isnan(x->doubleValue()) && std::isnan(y->doubleValue()))
    return x->kind() == y->kind();
  auto* p = dynamic_cast<const host::NSArray*>(a);
  auto* q = dynamic_cast<const host::NSArray*>(b);
  if (p && q) {
    if (p->count() != q->count()) return false;
    for (size_t i = 0; i < p->count(); ++i)
      if (!same(p->items()[i].get(), q->items()[i].get())) return false;
    return true;
  }
  auto* d = dynamic_cast<const host::NSDictionary*>(a);
  auto* e = dynamic_cast<const host::NSDictionary*>(b);
  if (d && e) {
    if (d->count() != e->count()) return false;
    for (const auto& [key, value] : d->storage())
      if (!same(value.get(), e->objectForKey(key.get()).get())) return false;
    return true;
  }
  auto* object = dynamic_cast<const host::NSObject*>(a);
  return object && object->isEqual(b);
}

// The file parses, and its keys and values are those the store holds.
void requireHolds(const host::NSUserDefaults& store, const std::string& bytes) {
  host::plist::Parsed parsed = host::plist::parse(bytes);
  require(parsed.root && plist_get_node_type(parsed.root.get()) == PLIST_DICT);
  std::set<std::string> keys;
  host::plist::forEachItem(parsed.root.get(), [&](const char* key, plist_t node) {
    keys.insert(key);
    rt::Ref<> value = host::plist::toObject(node);
    require(store.isStored(key) && same(value.get(), store.storedValue(key).get()));
    return true;
  });
  const std::vector<std::string> stored = store.storedKeys();
  require(keys == std::set<std::string>(stored.begin(), stored.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path file =
      makeRoot() / "var/mobile/Library/Preferences/com.tarnwick.lumora.plist";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

  host::boot({root(), {}});
  {
    rt::Ref<> instance = rt::send(prefs::registerLumoraPrefs(), sel::sharedInstance);
    auto* store = dynamic_cast<host::NSUserDefaults*>(instance.get());
    require(store != nullptr);
    const std::string started = readAll(file);
    if (!store->readable() || !store->unwritableText().empty()) require(started == bytes);
    if (started != bytes) requireHolds(*store, started);

    const host::WriteResult written = store->write("fuzzKey", host::NSStr("fuzz value").get());
    const std::string after = readAll(file);
    if (!store->readable()) require(!written);
    if (!written) {
      require(after == started);
    } else {
      requireHolds(*store, after);
      require(host::isString(store->storedValue("fuzzKey").get(), "fuzz value"));
    }
  }
  prefs::resetLumoraPrefs();
  host::reset();
  return 0;
}
