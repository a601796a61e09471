#include "host/foundation/dictionary_file.h"

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/values.h"
#include "host/host.h"

namespace host {
namespace {

// Metadata and settings files are small; a larger one is not what the host reads.
constexpr uint64_t kMaxDictionaryFileBytes = uint64_t{4} << 20;

Ref<> dictionaryFromFile(id, rt::SEL, id pathObject) {
  const std::string* path = stringText(pathObject);
  if (!path || path->empty()) return nullptr;
  std::filesystem::path file(*path);
  if (file.is_absolute() && !deviceRoot().empty()) file = devicePath(*path);
  const FileContents contents = readRegularFile(file, kMaxDictionaryFileBytes);
  if (contents.status != FileContents::Status::Read) return nullptr;
  plist::Parsed parsed = plist::parse(contents.bytes);
  if (!parsed.root || plist_get_node_type(parsed.root.get()) != PLIST_DICT) return nullptr;
  return plist::toObject(parsed.root.get());
}

}  // namespace

void defineDictionaryFile(ClassList& list) {
  list.extend(NSDictionary::cls, [](Class dictionary) {
    rt::bindFunction(dictionary, sel::initWithContentsOfFile, &dictionaryFromFile);
  });
}

}  // namespace host
