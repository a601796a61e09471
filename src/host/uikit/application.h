// UIApplication, UIScreen and UITraitCollection: what the device says about itself.
// The layout direction (0 left-to-right, 1 right-to-left), the interface style (1 light,
// 2 dark) and the screen (375 x 812 points at scale 3 unless the scene says otherwise)
// come from the device the host was booted for.
#pragma once

#include "host/foundation/values.h"
#include "host/uikit/uikit_selectors.h"

namespace host {

class UIApplication : public NSObject {
 public:
  static inline const rt::ClassOf<UIApplication> cls{"UIApplication"};
  static void bind(ClassBuilder<UIApplication>& b);
  int64_t userInterfaceLayoutDirection() const;
};

class UIScreen : public NSObject {
 public:
  static inline const rt::ClassOf<UIScreen> cls{"UIScreen"};
  static void bind(ClassBuilder<UIScreen>& b);
  rt::CGFloat scale() const;
  rt::CGRect bounds() const;
};

class UITraitCollection : public NSObject {
 public:
  static inline const rt::ClassOf<UITraitCollection> cls{"UITraitCollection"};
  static void bind(ClassBuilder<UITraitCollection>& b);
  explicit UITraitCollection(int64_t style) : style_(style) {}
  // A collection of the given style (1 light, 2 dark).
  static Ref<UITraitCollection> make(int64_t style) { return cls.make(style); }
  int64_t userInterfaceStyle() const { return style_; }

 private:
  int64_t style_;
};

// The device's interface style, 1 light or 2 dark.
int64_t deviceInterfaceStyle();

void defineApplication(ClassList& list);
void resetApplication();

}  // namespace host
