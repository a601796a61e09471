// The dominant colour of an icon through the colour cache: the one lookup that the
// notification and widget passes share, so identical icons share one entry whichever
// pass computed it.
#pragma once

#include "runtime/runtime.h"

namespace lumora {

using rt::id;
using rt::Ref;

// The icon's cache key: the Base64 text, in 64-character lines ending in CR LF, of its
// PNG encoding. Nil when the image is nil or has no PNG encoding. An image never
// changes, so the key is formed once per image object and kept with it.
Ref<> lumoraIconKey(id image);

// The icon's dominant colour from `cache` (a mutable dictionary of keys to colours; the
// passes hand it the global colorCache): on a miss `lumoraDominantColor` is computed and
// stored under the key. When the image has no key nothing is looked up, computed or
// stored, and the answer is nil.
Ref<> lumoraCachedDominantColor(id image, id cache);

}  // namespace lumora
