#include "notifications/host_class.h"

#include <map>
#include <string>

namespace lumora {

rt::Class cachedHostClass(const char* name) {
  static std::map<std::string, rt::Class, std::less<>> found;
  if (auto it = found.find(name); it != found.end()) return it->second;
  rt::Class cls = rt::objc_getClass(name);
  if (cls) found.emplace(name, cls);
  return cls;
}

}  // namespace lumora
