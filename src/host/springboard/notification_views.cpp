#include "host/springboard/notification_views.h"

#include <algorithm>

#include "host/uikit/colour.h"

namespace host {
namespace {

// Makes a view of the class through the runtime (nil when this host lacks the class)
// and adds it to parent.
Ref<> addNew(UIView& parent, const rt::ClassName& cls) {
  Ref<> view = rt::send(cls.get(), sel::new_);
  parent.addSubview(view.get());
  return view;
}

Ref<> makeLabel(UIView& parent, const rt::ClassName& cls, CGFloat size, bool bold, int64_t lines) {
  Ref<> label = addNew(parent, cls);
  rt::send(label, sel::setFont, UIFont::make(size, bold));
  rt::send(label, sel::setNumberOfLines, lines);
  return label;
}

CGFloat textHeight(id label, CGFloat width) {
  return rt::send(label, sel::sizeThatFits, CGSize{width, 0}).height;
}

}  // namespace

CGRect PLTitledPlatterView::mainContentFrame() const {
  const CGRect b = bounds();
  return {{0, kHeaderHeight}, {b.size.width, std::max<CGFloat>(b.size.height - kHeaderHeight, 0)}};
}

Ref<> PLPlatterHeaderContentView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  titleLabel_ = makeLabel(*this, UILabel::cls, 13, true, 1);
  dateLabel_ = makeLabel(*this, BSUIDefaultDateLabel::cls, 13, false, 1);
  return ref();
}

void PLPlatterHeaderContentView::layoutSubviews() {
  const CGRect b = bounds();
  const CGFloat padding = rt::send(this, sel::_iconTrailingPadding);
  const CGSize date = rt::send(dateLabel_, sel::sizeThatFits, CGSize{});
  const CGFloat dateX = b.size.width - kInset - date.width;
  rt::send(dateLabel_, sel::setFrame, CGRect{{dateX, (b.size.height - date.height) / 2}, date});
  const CGFloat titleX = kInset + kIconSize + padding;
  const CGSize title = rt::send(titleLabel_, sel::sizeThatFits, CGSize{});
  rt::send(titleLabel_, sel::setFrame,
           CGRect{{titleX, (b.size.height - title.height) / 2},
                  {std::clamp<CGFloat>(dateX - 8 - titleX, 0, title.width), title.height}});
}

Ref<> NCNotificationContentView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  primaryLabel_ = makeLabel(*this, UILabel::cls, 15, true, 1);
  primarySubtitleLabel_ = makeLabel(*this, UILabel::cls, 15, true, 1);
  secondaryLabel_ = makeLabel(*this, UILabel::cls, 15, false, 4);
  summaryLabel_ = makeLabel(*this, UILabel::cls, 13, false, 1);
  return ref();
}

Ref<> NCNotificationContentView::primaryText() const {
  return rt::send(primaryLabel_, sel::text);
}

void NCNotificationContentView::setPrimaryText(id text) {
  rt::send(primaryLabel_, sel::setText, text);
}

void NCNotificationContentView::layoutSubviews() {
  const CGFloat width = std::max<CGFloat>(bounds().size.width - 2 * kSideInset, 0);
  CGFloat y = kInset;
  for (const Ref<>& label :
       {primaryLabel_, primarySubtitleLabel_, secondaryLabel_, summaryLabel_}) {
    const CGFloat height = textHeight(label.get(), width);
    rt::send(label, sel::setFrame, CGRect{{kSideInset, y}, {width, height}});
    y += height;
  }
}

CGSize NCNotificationContentView::sizeThatFits(CGSize size) const {
  const CGFloat width = std::max<CGFloat>(size.width - 2 * kSideInset, 0);
  CGFloat height = 2 * kInset;
  for (const Ref<>& label : {primaryLabel_, primarySubtitleLabel_, secondaryLabel_, summaryLabel_})
    height += textHeight(label.get(), width);
  return {size.width, height};
}

Ref<> NCNotificationShortLookView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  shadowView_ = addNew(*this, UIView::cls);
  backgroundMaterialView_ = addNew(*this, UIView::cls);
  headerContentView_ = addNew(*this, PLPlatterHeaderContentView::cls);
  notificationContentView_ = addNew(*this, NCNotificationContentView::cls);
  setClipsToBounds(false);
  caLayer().setCornerRadius(13);
  caLayer().setContinuousCorners(true);
  rt::send(backgroundMaterialView_, sel::setBackgroundColor, UIColor::make(0.97, 0.97, 0.97, 0.82));
  return ref();
}

void NCNotificationShortLookView::layoutSubviews() {
  const CGRect b = bounds();
  rt::send(shadowView_, sel::setFrame, b);
  rt::send(backgroundMaterialView_, sel::setFrame, b);
  rt::send(headerContentView_, sel::setFrame,
           CGRect{{0, 0}, {b.size.width, PLTitledPlatterView::kHeaderHeight}});
  rt::send(notificationContentView_, sel::setFrame, rt::send(this, sel::_mainContentFrame));
}

CGSize NCNotificationShortLookView::sizeThatFitsContentWithSize(CGSize size) const {
  const CGSize content = rt::send(notificationContentView_, sel::sizeThatFits, size);
  return {size.width, kHeaderHeight + content.height};
}

Ref<> NCNotificationViewControllerView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  stackDimmingView_ = addNew(*this, UIView::cls);
  rt::send(stackDimmingView_, sel::setHidden, true);
  return ref();
}

void NCNotificationViewControllerView::layoutSubviews() {
  for (auto& child : subviewList()) rt::send(child, sel::setFrame, bounds());
}

void NCNotificationViewControllerView::setContentView(id view) {
  contentView_ = view ? view->ref() : nullptr;
  addSubview(view);
}

void NCNotificationShortLookViewController::loadView() {
  Ref<> container = rt::send(NCNotificationViewControllerView::cls.get(), sel::new_);
  if (auto* c = NCNotificationViewControllerView::cls.cast(container.get()))
    c->setContentView(rt::send(NCNotificationShortLookView::cls.get(), sel::new_).get());
  setView(container.get());
}

Ref<> NCNotificationShortLookViewController::viewForPreview() {
  auto* container = NCNotificationViewControllerView::cls.cast(view().get());
  return container ? container->contentView() : nullptr;
}

void PLTitledPlatterView::bind(ClassBuilder<PLTitledPlatterView>& b) {
  b.method<&PLTitledPlatterView::mainContentFrame>(sel::_mainContentFrame);
}

void PLPlatterHeaderContentView::bind(ClassBuilder<PLPlatterHeaderContentView>& b) {
  b.method<&PLPlatterHeaderContentView::initWithFrame>(sel::initWithFrame)
      .method<&PLPlatterHeaderContentView::iconTrailingPadding>(sel::_iconTrailingPadding)
      .method<&PLPlatterHeaderContentView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&PLPlatterHeaderContentView::titleLabel_>("_titleLabel")
      .ivar<&PLPlatterHeaderContentView::dateLabel_>("_dateLabel");
}

void NCNotificationContentView::bind(ClassBuilder<NCNotificationContentView>& b) {
  b.method<&NCNotificationContentView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationContentView::primaryText>(sel::primaryText)
      .method<&NCNotificationContentView::setPrimaryText>(sel::setPrimaryText)
      .method<&NCNotificationContentView::layoutSubviews>(sel::layoutSubviews)
      .method<&NCNotificationContentView::sizeThatFits>(sel::sizeThatFits)
      .ivar<&NCNotificationContentView::primaryLabel_>("_primaryLabel")
      .ivar<&NCNotificationContentView::primarySubtitleLabel_>("_primarySubtitleLabel")
      .ivar<&NCNotificationContentView::secondaryLabel_>("_secondaryLabel")
      .ivar<&NCNotificationContentView::summaryLabel_>("_summaryLabel");
}

void NCNotificationShortLookView::bind(ClassBuilder<NCNotificationShortLookView>& b) {
  b.method<&NCNotificationShortLookView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationShortLookView::backgroundMaterialView>(sel::backgroundMaterialView)
      .method<&NCNotificationShortLookView::layoutSubviews>(sel::layoutSubviews)
      .method<&NCNotificationShortLookView::sizeThatFitsContentWithSize>(
          sel::sizeThatFitsContentWithSize)
      .ivar<&NCNotificationShortLookView::backgroundMaterialView_>("_backgroundMaterialView")
      .ivar<&NCNotificationShortLookView::shadowView_>("_shadowView")
      .ivar<&NCNotificationShortLookView::headerContentView_>("_headerContentView")
      .ivar<&NCNotificationShortLookView::notificationContentView_>("_notificationContentView");
}

void NCAuxiliaryOptionsView::bind(ClassBuilder<NCAuxiliaryOptionsView>& b) {
  b.method<&NCAuxiliaryOptionsView::layoutSubviews>(sel::layoutSubviews);
}

void NCNotificationViewController::bind(ClassBuilder<NCNotificationViewController>& b) {
  b.method<&NCNotificationViewController::associatedView>(sel::associatedView)
      .method<&NCNotificationViewController::setAssociatedView>(sel::setAssociatedView);
}

void NCNotificationViewControllerView::bind(ClassBuilder<NCNotificationViewControllerView>& b) {
  b.method<&NCNotificationViewControllerView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationViewControllerView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&NCNotificationViewControllerView::stackDimmingView_>("_stackDimmingView")
      .ivar<&NCNotificationViewControllerView::contentView_>("_contentView");
}

void NCNotificationShortLookViewController::bind(
    ClassBuilder<NCNotificationShortLookViewController>& b) {
  b.method<&NCNotificationShortLookViewController::loadView>(sel::loadView)
      .method<&NCNotificationShortLookViewController::viewForPreview>(sel::viewForPreview)
      .method<&NCNotificationShortLookViewController::viewDidLayoutSubviews>(
          sel::viewDidLayoutSubviews);
}

void NCNotificationStructuredListViewController::bind(
    ClassBuilder<NCNotificationStructuredListViewController>& b) {
  b.method<&NCNotificationStructuredListViewController::viewDidLayoutSubviews>(
      sel::viewDidLayoutSubviews);
}

void defineNotificationViews(ClassList& list) {
  list.define<PLPlatterView>(UIView::cls);
  list.define<PLTitledPlatterView>(PLPlatterView::cls);
  list.define<PLPlatterHeaderContentView>(UIView::cls);
  list.define<BSUIDefaultDateLabel>(UILabel::cls);
  list.define<NCNotificationContentView>(UIView::cls);
  list.define<NCNotificationShortLookView>(PLTitledPlatterView::cls);
  list.define<NCAuxiliaryOptionsView>(UIView::cls);
  list.define<NCNotificationViewControllerView>(UIView::cls);
  list.define<NCNotificationViewController>(UIViewController::cls);
  list.define<NCNotificationShortLookViewController>(NCNotificationViewController::cls);
  list.define<NCNotificationStructuredListViewController>(UIViewController::cls);
}

}  // namespace host
