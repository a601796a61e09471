#include "colour/icon_colour.h"

#include "colour/image_colour.h"
#include "host/foundation/base64.h"
#include "host/foundation/value_helpers.h"
#include "host/uikit/uikit_selectors.h"

namespace lumora {
namespace {

// The associated key of an image; an empty string marks an image without a PNG
// encoding, so that it too is tried only once.
const char kIconKey = 0;

}  // namespace

Ref<> lumoraIconKey(id image) {
  if (!image) return nullptr;
  Ref<> key = rt::objc_getAssociatedObject(image, &kIconKey);
  if (!key) {
    Ref<> png = host::UIImagePNGRepresentation(image);
    key = rt::send(png, sel::base64EncodedStringWithOptions,
                   uint64_t{host::NSDataBase64Encoding64CharacterLineLength});
    if (!key) key = host::NSStr("");
    rt::objc_setAssociatedObject(image, &kIconKey, key.get(),
                                 rt::AssociationPolicy::RetainNonatomic);
  }
  return rt::send(key, sel::length) > 0 ? key : nullptr;
}

Ref<> lumoraCachedDominantColor(id image, id cache) {
  Ref<> key = lumoraIconKey(image);
  if (!key) return nullptr;
  Ref<> colour = rt::send(cache, sel::objectForKey, key);
  if (!colour) {
    colour = lumoraDominantColor(image);
    rt::send(cache, sel::setObject_forKey, colour, key);
  }
  return colour;
}

}  // namespace lumora
