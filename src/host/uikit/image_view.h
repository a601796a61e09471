// UIImageView and UIButton. An image view shows one image in its content mode, tinted
// by its tint colour when the image is a template (system symbols are); a button shows
// its image for the normal state in an image view filling it.
#pragma once

#include <map>

#include "host/uikit/view.h"

namespace host {

class UIImageView : public UIView {
 public:
  static inline const rt::ClassOf<UIImageView> cls{"UIImageView"};
  static void bind(ClassBuilder<UIImageView>& b);
  // A view the size of the image, showing it.
  Ref<> initWithImage(id image);
  Ref<> image() const { return image_; }
  // A new image changes what fits: the view and its superview are marked for layout.
  void setImage(id image);
  int64_t contentMode() const { return contentMode_; }
  void setContentMode(int64_t mode) { contentMode_ = mode; }
  // The image's size in points (zero without one).
  CGSize sizeThatFits(CGSize) const;

 private:
  Ref<> image_;
  int64_t contentMode_ = UIViewContentModeScaleToFill;
};

class UIButton : public UIView {
 public:
  static inline const rt::ClassOf<UIButton> cls{"UIButton"};
  static void bind(ClassBuilder<UIButton>& b);
  Ref<> initWithFrame(CGRect frame);
  // States are the host's bit masks; the normal state (0) is what the model shows.
  Ref<> imageForState(uint64_t state) const;
  void setImageForState(id image, uint64_t state);
  Ref<> imageView() const { return imageView_; }
  void layoutSubviews();

 private:
  std::map<uint64_t, Ref<>> images_;
  Ref<> imageView_;
};

void defineImageViews(ClassList& list);

}  // namespace host
