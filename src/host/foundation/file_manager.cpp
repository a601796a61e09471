#include "host/foundation/file_manager.h"

#include <algorithm>
#include <filesystem>

#include "host/host.h"

namespace host {
namespace {
Ref<NSFileManager>& defaultManagerRef() {
  static Ref<NSFileManager> manager;
  return manager;
}
}  // namespace

bool NSFileManager::fileExistsAtPath(id path) const {
  const std::string* text = stringText(path);
  if (!text || text->empty()) return false;
  std::error_code error;
  return std::filesystem::exists(devicePath(*text), error);
}

Ref<> NSFileManager::contentsOfDirectoryAtPath(id path, Ref<>* error) const {
  const std::string* text = stringText(path);
  std::error_code failure;
  std::vector<std::string> names;
  if (text && !text->empty()) {
    for (auto it = std::filesystem::directory_iterator(devicePath(*text), failure);
         !failure && it != std::filesystem::directory_iterator(); it.increment(failure))
      names.push_back(it->path().filename().string());
  } else {
    failure = std::make_error_code(std::errc::invalid_argument);
  }
  if (failure) {
    if (error)
      *error = NSStr("cannot read folder " + (text ? *text : std::string("(nil)")) + ": " +
                     failure.message());
    return nullptr;
  }
  std::sort(names.begin(), names.end());
  std::vector<Ref<>> items;
  for (auto& n : names) items.push_back(NSStr(n));
  return NSArray::make(std::move(items));
}

void NSFileManager::bind(ClassBuilder<NSFileManager>& b) {
  b.classFunction(
       sel::defaultManager,
       +[](id, rt::SEL) -> Ref<> {
         auto& m = defaultManagerRef();
         if (!m) m = NSFileManager::cls.make();
         return m;
       })
      .method<&NSFileManager::fileExistsAtPath>(sel::fileExistsAtPath)
      .method<&NSFileManager::contentsOfDirectoryAtPath>(sel::contentsOfDirectoryAtPath_error);
}

void defineFileManager(ClassList& list) {
  list.define<NSFileManager>(NSObject::cls);
}

void resetFileManager() {
  defaultManagerRef().reset();
}

}  // namespace host
