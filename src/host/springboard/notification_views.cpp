#include "host/springboard/notification_views.h"

#include <algorithm>

#include "host/host.h"
#include "host/springboard/notification_request.h"
#include "host/uikit/application.h"
#include "host/uikit/colour.h"
#include "host/uikit/image_view.h"
#include "host/uikit/material_view.h"

namespace host {
namespace {

CGFloat textHeight(id label, CGFloat width) {
  return rt::send(label, sel::sizeThatFits, CGSize{width, 0}).height;
}

Ref<> ivar(id object, const char* name) {
  return rt::send(object, sel::valueForKey, NSStr(name));
}

}  // namespace

SBIconImageInfo iconImageInfo() {
  return {{60, 60}, rt::send(rt::send(cls::UIScreen, sel::mainScreen), sel::scale), 13};
}

Ref<> appIcon(id bundleIdentifier) {
  Ref<> model = rt::send(rt::send(cls::SBIconController, sel::sharedInstance), sel::model);
  Ref<> icon = rt::send(model, sel::expectedIconForDisplayIdentifier, bundleIdentifier);
  return rt::send(icon, sel::generateIconImageWithInfo, iconImageInfo());
}

// ---- Content

Ref<> NCNotificationContentView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  primaryLabel_ = addLabel(*this, UILabel::cls, "_primaryLabel", 15, true, 1);
  primarySubtitleLabel_ = addLabel(*this, UILabel::cls, "_primarySubtitleLabel", 15, true, 1);
  secondaryLabel_ = addLabel(*this, UILabel::cls, "_secondaryLabel", 15, false, 4);
  summaryLabel_ = addLabel(*this, UILabel::cls, "_summaryLabel", 13, false, 1);
  rt::send(summaryLabel_, sel::setHidden, true);
  return ref();
}

Ref<> NCNotificationContentView::primaryText() const {
  return rt::send(primaryLabel_, sel::text);
}

void NCNotificationContentView::setPrimaryText(id text) {
  rt::send(primaryLabel_, sel::setText, text);
}

void NCNotificationContentView::setThumbnail(id image) {
  if (!image) {
    rt::send(thumbnailImageView_, sel::removeFromSuperview);
    thumbnailImageView_ = nullptr;
    return;
  }
  if (!thumbnailImageView_) {
    thumbnailImageView_ = addNewSubview(*this, UIImageView::cls);
    rt::send(thumbnailImageView_, sel::setContentMode, UIViewContentModeScaleAspectFill);
    rt::send(thumbnailImageView_, sel::setClipsToBounds, true);
  }
  rt::send(thumbnailImageView_, sel::setImage, image);
}

void NCNotificationContentView::setSummaryText(id text) {
  rt::send(summaryLabel_, sel::setText, text);
  rt::send(summaryLabel_, sel::setHidden, text == nullptr);
}

CGFloat NCNotificationContentView::summaryGap(CGFloat width) const {
  return textHeight(summaryLabel_.get(), width) > 0 ? kSummaryGap : 0;
}

CGFloat NCNotificationContentView::labelWidth(CGFloat width) const {
  const CGFloat thumbnail = thumbnailImageView_ ? kThumbnailSize + kThumbnailGap : 0;
  return std::max<CGFloat>(width - 2 * kSideInset - thumbnail, 0);
}

void NCNotificationContentView::layoutSubviews() {
  const CGFloat w = bounds().size.width;
  const CGFloat width = labelWidth(w);
  CGFloat y = kTopInset;
  for (const Ref<>& label :
       {primaryLabel_, primarySubtitleLabel_, secondaryLabel_, summaryLabel_}) {
    if (label == summaryLabel_) y += summaryGap(width);
    const CGFloat height = textHeight(label.get(), width);
    setMirroredFrame(label.get(), {{kSideInset, y}, {width, height}}, w);
    y += height;
  }
  if (thumbnailImageView_)
    setMirroredFrame(
        thumbnailImageView_.get(),
        {{w - kSideInset - kThumbnailSize, kTopInset}, {kThumbnailSize, kThumbnailSize}}, w);
}

CGSize NCNotificationContentView::sizeThatFits(CGSize size) const {
  const CGFloat width = labelWidth(size.width);
  CGFloat height = kTopInset + summaryGap(width) + kBottomInset;
  for (const Ref<>& label : {primaryLabel_, primarySubtitleLabel_, secondaryLabel_, summaryLabel_})
    height += textHeight(label.get(), width);
  if (thumbnailImageView_) height = std::max(height, kTopInset + kThumbnailSize + kBottomInset);
  return {size.width, height};
}

// ---- The card

Ref<> NCNotificationShortLookView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  shadowView_ = addNewSubview(*this, UIView::cls, "_shadowView");
  backgroundMaterialView_ = addNewSubview(*this, MTMaterialView::cls, "_backgroundMaterialView");
  headerContentView_ = addNewSubview(*this, PLPlatterHeaderContentView::cls, "_headerContentView");
  notificationContentView_ =
      addNewSubview(*this, NCNotificationContentView::cls, "_notificationContentView");
  caLayer().setCornerRadius(13);
  caLayer().setContinuousCorners(true);
  // The material, rounded like the card.
  if (auto* material = UIView::cls.cast(backgroundMaterialView_.get())) {
    material->caLayer().setCornerRadius(13);
    material->caLayer().setContinuousCorners(true);
    material->setClipsToBounds(true);
  }
  return ref();
}

Ref<> NCNotificationShortLookView::icons() const {
  Ref<> buttons = rt::send(headerContentView_, sel::iconButtons);
  std::vector<Ref<>> images;
  for (uint64_t i = 0; i < rt::send(buttons, sel::count); ++i)
    if (Ref<> image =
            rt::send(rt::send(buttons, sel::objectAtIndex, i), sel::imageForState, uint64_t{0}))
      images.push_back(image);
  return NSArray::make(std::move(images));
}

void NCNotificationShortLookView::showRequest(id request) {
  Ref<> section = rt::send(request, sel::sectionIdentifier);
  Ref<> app = rt::send(rt::send(cls::SBApplicationController, sel::sharedInstance),
                       sel::applicationWithBundleIdentifier, section);
  rt::send(ivar(headerContentView_.get(), "_titleLabel"), sel::setText,
           rt::send(app, sel::displayName));
  rt::send(ivar(headerContentView_.get(), "_dateLabel"), sel::setText, NSStr("now"));
  rt::send(rt::send(rt::send(headerContentView_, sel::iconButtons), sel::firstObject),
           sel::setImage_forState, appIcon(section.get()), uint64_t{0});

  Ref<> content = rt::send(request, sel::content);
  Ref<> contentView = notificationContentView_;
  rt::send(contentView, sel::setPrimaryText, rt::send(content, sel::title));
  rt::send(ivar(contentView.get(), "_primarySubtitleLabel"), sel::setText,
           rt::send(content, sel::subtitle));
  rt::send(ivar(contentView.get(), "_secondaryLabel"), sel::setText,
           rt::send(content, sel::message));
  auto* view = NCNotificationContentView::cls.cast(contentView.get());
  auto* fields = NCNotificationRequest::cls.cast(request);
  if (view && fields) view->setThumbnail(fields->thumbnail().get());
}

void NCNotificationShortLookView::layoutSubviews() {
  const CGRect b = bounds();
  rt::send(shadowView_, sel::setFrame, b);
  rt::send(backgroundMaterialView_, sel::setFrame, b);
  rt::send(headerContentView_, sel::setFrame,
           CGRect{{0, 0}, {b.size.width, PLTitledPlatterView::kHeaderHeight}});
  rt::send(notificationContentView_, sel::setFrame, rt::send(this, sel::_mainContentFrame));
}

void NCNotificationShortLookView::removeShadowView() {
  rt::send(shadowView_, sel::removeFromSuperview);
  shadowView_ = nullptr;
}

CGSize NCNotificationShortLookView::sizeThatFitsContentWithSize(CGSize size) const {
  const CGSize content = rt::send(notificationContentView_, sel::sizeThatFits, size);
  return {size.width, kHeaderHeight + content.height};
}

// ---- Options row

Ref<> NCAuxiliaryOptionsView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  overlayView_ = addNewSubview(*this, UIView::cls);
  rt::send(overlayView_, sel::setBackgroundColor, UIColor::make(0.97, 0.97, 0.97, 0.82));
  if (auto* overlay = UIView::cls.cast(overlayView_.get())) {
    overlay->caLayer().setCornerRadius(13);
    overlay->caLayer().setContinuousCorners(true);
  }
  for (const char* title : {"Manage", "View", "Clear"}) {
    Ref<> label = addLabel(*this, UILabel::cls, nullptr, 15, false, 1);
    rt::send(label, sel::setText, NSStr(title));
    buttons_.push_back(label);
  }
  return ref();
}

void NCAuxiliaryOptionsView::layoutSubviews() {
  const CGRect b = bounds();
  rt::send(overlayView_, sel::setFrame, b);
  if (buttons_.empty()) return;
  const CGFloat w = b.size.width / static_cast<CGFloat>(buttons_.size());
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const CGSize text = rt::send(buttons_[i], sel::sizeThatFits, CGSize{w, 0});
    setMirroredFrame(
        buttons_[i].get(),
        {{w * static_cast<CGFloat>(i) + (w - text.width) / 2, (b.size.height - text.height) / 2},
         text},
        b.size.width);
  }
}

// ---- Controllers

Ref<> NCNotificationViewControllerView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  stackDimmingView_ = addNewSubview(*this, MTMaterialView::cls, "_stackDimmingView");
  rt::send(stackDimmingView_, sel::setHidden, true);
  if (auto* dimming = UIView::cls.cast(stackDimmingView_.get())) {
    dimming->caLayer().setCornerRadius(13);
    dimming->caLayer().setContinuousCorners(true);
    dimming->setClipsToBounds(true);
  }
  return ref();
}

CGFloat NCNotificationViewControllerView::cardHeight(CGFloat width) const {
  return rt::send(contentView_, sel::sizeThatFitsContentWithSize, CGSize{width, 0}).height;
}

CGFloat NCNotificationViewControllerView::heightForWidth(CGFloat width) const {
  return cardHeight(width) + (optionsView_ ? 8 + NCAuxiliaryOptionsView::kHeight : 0);
}

void NCNotificationViewControllerView::layoutSubviews() {
  const CGFloat w = bounds().size.width;
  // Without options the card fills the container, whatever the container's height.
  const CGRect card{{0, 0}, {w, optionsView_ ? cardHeight(w) : bounds().size.height}};
  rt::send(stackDimmingView_, sel::setFrame, card);
  rt::send(contentView_, sel::setFrame, card);
  rt::send(optionsView_, sel::setFrame,
           CGRect{{0, card.size.height + 8}, {w, NCAuxiliaryOptionsView::kHeight}});
  // The row is laid out at once, inside this layout: what its own layout changes (a
  // replacement narrowing it) then belongs to this pass and asks for no other.
  rt::send(optionsView_, sel::layoutIfNeeded);
}

void NCNotificationViewControllerView::setOptionsView(id view) {
  optionsView_ = view ? view->ref() : nullptr;
  addSubview(view);
}

void NCNotificationViewControllerView::setContentView(id view) {
  contentView_ = view ? view->ref() : nullptr;
  insertSubview(view, 0);
}

void NCNotificationViewControllerView::setDimmed(bool dimmed) {
  rt::send(stackDimmingView_, sel::setHidden, !dimmed);
}

Ref<> NCNotificationShortLookViewController::initWithNotificationRequest(id request) {
  request_ = request ? request->ref() : nullptr;
  return ref();
}

void NCNotificationShortLookViewController::loadView() {
  Ref<> container = rt::send(NCNotificationViewControllerView::cls.get(), sel::new_);
  Ref<> card = rt::send(NCNotificationShortLookView::cls.get(), sel::new_);
  if (auto* c = NCNotificationViewControllerView::cls.cast(container.get()))
    c->setContentView(card.get());
  setView(container.get());
  auto* shortLook = NCNotificationShortLookView::cls.cast(card.get());
  if (!shortLook) return;
  // A controller shown in the lockscreen list has its associated view before it loads.
  if (associatedView()) shortLook->removeShadowView();
  // Filled once in the controller's hierarchy, so the card's own hooks see where it is.
  if (request_) shortLook->showRequest(request_.get());
}

Ref<> NCNotificationShortLookViewController::viewForPreview() {
  auto* container = NCNotificationViewControllerView::cls.cast(view().get());
  return container ? container->contentView() : nullptr;
}

// ---- Classes

void NCNotificationContentView::bind(ClassBuilder<NCNotificationContentView>& b) {
  b.method<&NCNotificationContentView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationContentView::primaryText>(sel::primaryText)
      .method<&NCNotificationContentView::setPrimaryText>(sel::setPrimaryText)
      .method<&NCNotificationContentView::layoutSubviews>(sel::layoutSubviews)
      .method<&NCNotificationContentView::sizeThatFits>(sel::sizeThatFits)
      .method<&NCNotificationContentView::setSummaryText>(sel::setSummaryText)
      .ivar<&NCNotificationContentView::primaryLabel_>("_primaryLabel")
      .ivar<&NCNotificationContentView::primarySubtitleLabel_>("_primarySubtitleLabel")
      .ivar<&NCNotificationContentView::secondaryLabel_>("_secondaryLabel")
      .ivar<&NCNotificationContentView::summaryLabel_>("_summaryLabel")
      .ivar<&NCNotificationContentView::thumbnailImageView_>("_thumbnailImageView");
}

void NCNotificationShortLookView::bind(ClassBuilder<NCNotificationShortLookView>& b) {
  b.method<&NCNotificationShortLookView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationShortLookView::backgroundMaterialView>(sel::backgroundMaterialView)
      .method<&NCNotificationShortLookView::customContentView>(sel::customContentView)
      .method<&NCNotificationShortLookView::icons>(sel::icons)
      .method<&NCNotificationShortLookView::layoutSubviews>(sel::layoutSubviews)
      .method<&NCNotificationShortLookView::sizeThatFitsContentWithSize>(
          sel::sizeThatFitsContentWithSize)
      .ivar<&NCNotificationShortLookView::backgroundMaterialView_>("_backgroundMaterialView")
      .ivar<&NCNotificationShortLookView::shadowView_>("_shadowView")
      .ivar<&NCNotificationShortLookView::headerContentView_>("_headerContentView")
      .ivar<&NCNotificationShortLookView::notificationContentView_>("_notificationContentView");
}

void NCAuxiliaryOptionsView::bind(ClassBuilder<NCAuxiliaryOptionsView>& b) {
  b.method<&NCAuxiliaryOptionsView::initWithFrame>(sel::initWithFrame)
      .method<&NCAuxiliaryOptionsView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&NCAuxiliaryOptionsView::overlayView_>("_overlayView");
}

void NCNotificationViewController::bind(ClassBuilder<NCNotificationViewController>& b) {
  b.method<&NCNotificationViewController::associatedView>(sel::associatedView)
      .method<&NCNotificationViewController::setAssociatedView>(sel::setAssociatedView);
}

void NCNotificationViewControllerView::bind(ClassBuilder<NCNotificationViewControllerView>& b) {
  b.method<&NCNotificationViewControllerView::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationViewControllerView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&NCNotificationViewControllerView::stackDimmingView_>("_stackDimmingView")
      .ivar<&NCNotificationViewControllerView::contentView_>("_contentView")
      .ivar<&NCNotificationViewControllerView::optionsView_>("_auxiliaryOptionsView");
}

void NCNotificationShortLookViewController::bind(
    ClassBuilder<NCNotificationShortLookViewController>& b) {
  b.method<&NCNotificationShortLookViewController::initWithNotificationRequest>(
       sel::initWithNotificationRequest)
      .method<&NCNotificationShortLookViewController::notificationRequest>(sel::notificationRequest)
      .method<&NCNotificationShortLookViewController::loadView>(sel::loadView)
      .method<&NCNotificationShortLookViewController::viewForPreview>(sel::viewForPreview)
      .method<&NCNotificationShortLookViewController::viewDidLayoutSubviews>(
          sel::viewDidLayoutSubviews);
}

void NCNotificationStructuredListViewController::bind(
    ClassBuilder<NCNotificationStructuredListViewController>& b) {
  b.method<&NCNotificationStructuredListViewController::loadView>(sel::loadView)
      .method<&NCNotificationStructuredListViewController::viewDidLayoutSubviews>(
          sel::viewDidLayoutSubviews);
}

void defineNotificationViews(ClassList& list) {
  list.define<NCNotificationContentView>(UIView::cls);
  list.define<NCNotificationShortLookView>(PLTitledPlatterView::cls);
  list.define<NCAuxiliaryOptionsView>(UIView::cls);
  list.define<NCNotificationViewControllerView>(UIView::cls);
  list.define<NCNotificationViewController>(UIViewController::cls);
  list.define<NCNotificationShortLookViewController>(NCNotificationViewController::cls);
  list.define<NCNotificationStructuredListViewController>(UIViewController::cls);
}

}  // namespace host
