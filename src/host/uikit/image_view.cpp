#include "host/uikit/image_view.h"

#include "host/uikit/image.h"

namespace host {

Ref<> UIImageView::initWithImage(id image) {
  const UIImage* picture = UIImage::cls.cast(image);
  UIView::initWithFrame({{0, 0}, picture ? picture->size() : CGSize{}});
  setImage(image);
  return ref();
}

void UIImageView::setImage(id image) {
  image_ = UIImage::cls.isKind(image) ? image->ref() : nullptr;
  setNeedsLayout();
  if (UIView* parent = superviewPointer()) parent->setNeedsLayout();
}

CGSize UIImageView::sizeThatFits(CGSize) const {
  const UIImage* picture = UIImage::cls.cast(image_.get());
  return picture ? picture->size() : CGSize{};
}

Ref<> UIButton::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  imageView_ = rt::send(UIImageView::cls.get(), sel::new_);
  addSubview(imageView_.get());
  return ref();
}

Ref<> UIButton::imageForState(uint64_t state) const {
  auto it = images_.find(state);
  return it == images_.end() ? nullptr : it->second;
}

void UIButton::setImageForState(id image, uint64_t state) {
  images_[state] = image ? image->ref() : nullptr;
  if (state == 0) rt::send(imageView_, sel::setImage, image);
}

void UIButton::layoutSubviews() {
  rt::send(imageView_, sel::setFrame, bounds());
}

void UIImageView::bind(ClassBuilder<UIImageView>& b) {
  b.method<&UIImageView::initWithImage>(sel::initWithImage)
      .method<&UIImageView::image>(sel::image)
      .method<&UIImageView::setImage>(sel::setImage)
      .method<&UIImageView::contentMode>(sel::contentMode)
      .method<&UIImageView::setContentMode>(sel::setContentMode)
      .method<&UIImageView::sizeThatFits>(sel::sizeThatFits);
}

void UIButton::bind(ClassBuilder<UIButton>& b) {
  b.method<&UIButton::initWithFrame>(sel::initWithFrame)
      .method<&UIButton::imageForState>(sel::imageForState)
      .method<&UIButton::setImageForState>(sel::setImage_forState)
      .method<&UIButton::imageView>(sel::imageView)
      .method<&UIButton::layoutSubviews>(sel::layoutSubviews)
      .ivar<&UIButton::imageView_>("_imageView");
}

void defineImageViews(ClassList& list) {
  list.define<UIImageView>(UIView::cls);
  list.define<UIButton>(UIView::cls);
}

}  // namespace host
