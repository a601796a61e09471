// UIViewController: owns its view, made on first use by `loadView` (through the runtime,
// so a replacement of loadView runs), then `viewDidLoad`.
#pragma once

#include "host/uikit/view.h"

namespace host {

class UIViewController : public NSObject {
 public:
  static inline const rt::ClassOf<UIViewController> cls{"UIViewController"};
  static void bind(ClassBuilder<UIViewController>& b);

  Ref<> view();
  void setView(id view);
  bool isViewLoaded() const { return view_ != nullptr; }
  // Makes a plain UIView, as the host does without a nib.
  void loadView();
  void viewDidLoad() {}
  void viewWillAppear(bool) {}
  void viewDidLayoutSubviews() {}
  // 0 follows the surroundings, 1 forces light, 2 dark; a change lays the view out again.
  int64_t overrideUserInterfaceStyle() const { return overrideStyle_; }
  void setOverrideUserInterfaceStyle(int64_t style);
  // The view's traits once it is loaded, else this controller's override or the device's.
  Ref<> traitCollection();

 private:
  Ref<> view_;
  int64_t overrideStyle_ = 0;
};

void defineViewControllers(ClassList& list);

}  // namespace host
