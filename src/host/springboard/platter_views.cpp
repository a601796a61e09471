#include "host/springboard/platter_views.h"

#include <algorithm>

#include "host/host.h"
#include "host/uikit/image_view.h"

namespace host {

Ref<> addLabel(UIView& parent, const rt::ClassName& cls, const char* ivarName, CGFloat size,
               bool bold, int64_t lines) {
  Ref<> label = addNewSubview(parent, cls, ivarName);
  rt::send(label, sel::setFont, UIFont::make(size, bold));
  rt::send(label, sel::setNumberOfLines, lines);
  return label;
}

namespace {

// The frame mirrored within a container of the given width.
CGRect mirrored(CGRect frame, CGFloat containerWidth) {
  return {{containerWidth - frame.origin.x - frame.size.width, frame.origin.y}, frame.size};
}

}  // namespace

void setMirroredFrame(id view, CGRect frame, CGFloat containerWidth) {
  const bool rightToLeft = rt::send(view, sel::effectiveUserInterfaceLayoutDirection) ==
                           UIUserInterfaceLayoutDirectionRightToLeft;
  rt::send(view, sel::setFrame, rightToLeft ? mirrored(frame, containerWidth) : frame);
}

CGRect PLTitledPlatterView::mainContentFrame() const {
  const CGRect b = bounds();
  return {{0, kHeaderHeight}, {b.size.width, std::max<CGFloat>(b.size.height - kHeaderHeight, 0)}};
}

// ---- Header

Ref<> PLPlatterHeaderContentView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  iconButton_ = addNewSubview(*this, UIButton::cls);
  titleLabel_ = addLabel(*this, UILabel::cls, "_titleLabel", 13, true, 1);
  dateLabel_ = addLabel(*this, BSUIDefaultDateLabel::cls, "_dateLabel", 13, false, 1);
  return ref();
}

Ref<> PLPlatterHeaderContentView::iconButtons() const {
  return NSArray::make(iconButton_ ? std::vector<Ref<>>{iconButton_} : std::vector<Ref<>>{});
}

void PLPlatterHeaderContentView::layoutSubviews() {
  const CGRect b = bounds();
  const CGFloat w = b.size.width;
  setMirroredFrame(iconButton_.get(),
                   {{kInset, (b.size.height - kIconSize) / 2}, {kIconSize, kIconSize}}, w);
  const CGFloat padding = rt::send(this, sel::_iconTrailingPadding);
  const CGSize date = rt::send(dateLabel_, sel::sizeThatFits, CGSize{});
  const CGFloat dateX = w - kInset - date.width;
  setMirroredFrame(dateLabel_.get(), {{dateX, (b.size.height - date.height) / 2}, date}, w);
  const CGFloat titleX = kInset + kIconSize + padding;
  const CGSize title = rt::send(titleLabel_, sel::sizeThatFits, CGSize{});
  setMirroredFrame(titleLabel_.get(),
                   {{titleX, (b.size.height - title.height) / 2},
                    {std::clamp<CGFloat>(dateX - 8 - titleX, 0, title.width), title.height}},
                   w);
}

void PLTitledPlatterView::bind(ClassBuilder<PLTitledPlatterView>& b) {
  b.method<&PLTitledPlatterView::mainContentFrame>(sel::_mainContentFrame);
}

void PLPlatterHeaderContentView::bind(ClassBuilder<PLPlatterHeaderContentView>& b) {
  b.method<&PLPlatterHeaderContentView::initWithFrame>(sel::initWithFrame)
      .method<&PLPlatterHeaderContentView::iconTrailingPadding>(sel::_iconTrailingPadding)
      .method<&PLPlatterHeaderContentView::layoutSubviews>(sel::layoutSubviews)
      .method<&PLPlatterHeaderContentView::iconButtons>(sel::iconButtons)
      .ivar<&PLPlatterHeaderContentView::titleLabel_>("_titleLabel")
      .ivar<&PLPlatterHeaderContentView::dateLabel_>("_dateLabel");
}

void definePlatterViews(ClassList& list) {
  list.define<PLPlatterView>(UIView::cls);
  list.define<PLTitledPlatterView>(PLPlatterView::cls);
  list.define<PLPlatterHeaderContentView>(UIView::cls);
  list.define<BSUIDefaultDateLabel>(UILabel::cls);
}

}  // namespace host
