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

 private:
  Ref<> view_;
};

void defineViewControllers(ClassList& list);

}  // namespace host
