#include "host/springboard/widgets.h"

#include <algorithm>
#include <cmath>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/uikit/colour.h"
#include "host/uikit/image_view.h"
#include "host/uikit/material_view.h"

namespace host {
namespace {

struct TodayView {
  Ref<> window;
  std::vector<Ref<>> controllers;  // every widget shown, kept alive
};
TodayView& today() {
  static TodayView t;
  return t;
}

void roundCorners(id view, CGFloat radius) {
  if (auto* v = UIView::cls.cast(view)) {
    v->caLayer().setCornerRadius(radius);
    v->caLayer().setContinuousCorners(true);
  }
}

// The placeholder bars' widths, as fractions of the content's inner width.
constexpr CGFloat kBarWidths[] = {0.75, 0.55, 0.65};
constexpr CGFloat kBarHeight = 10, kBarInset = 16, kBarSpacing = 12;

}  // namespace

// ---- The platter

Ref<> WGWidgetPlatterView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  backgroundView_ = addNewSubview(*this, MTMaterialView::cls, "_backgroundView");
  headerBackgroundView_ = addNewSubview(*this, UIView::cls, "_headerBackgroundView");
  headerView_ = addNewSubview(*this, UIView::cls);
  auto* header = UIView::cls.cast(headerView_.get());
  iconImageView_ = addNewSubview(*header, UIImageView::cls);
  roundCorners(iconImageView_.get(), 5);
  rt::send(iconImageView_, sel::setClipsToBounds, true);
  titleLabel_ = addNewSubview(*header, UILabel::cls);
  rt::send(titleLabel_, sel::setFont, UIFont::make(13, true));
  rt::send(titleLabel_, sel::setNumberOfLines, int64_t{1});
  rt::send(titleLabel_, sel::setTextColor,
           UIColor::makeDynamic({0.24, 0.24, 0.26, 1}, {0.85, 0.85, 0.88, 1}));
  contentView_ = addNewSubview(*this, UIView::cls);
  auto* content = UIView::cls.cast(contentView_.get());
  content->setClipsToBounds(true);
  for (size_t i = 0; i < std::size(kBarWidths); ++i) {
    Ref<> bar = addNewSubview(*content, UIView::cls);
    rt::send(bar, sel::setBackgroundColor, UIColor::make(0.45, 0.45, 0.5, 0.22));
    roundCorners(bar.get(), kBarHeight / 2);
    bars_.push_back(bar);
  }
  // The stock look: a light frosted material over the whole card, the header strip a
  // little darker; rounded like a notification card.
  caLayer().setCornerRadius(13);
  caLayer().setContinuousCorners(true);
  setClipsToBounds(true);
  if (auto* material = MTMaterialView::cls.cast(backgroundView_.get()))
    material->setRecipe(MTMaterialView::Recipe::Widget);
  roundCorners(backgroundView_.get(), 13);
  rt::send(headerBackgroundView_, sel::setBackgroundColor, UIColor::make(0.88, 0.88, 0.9, 0.6));
  // The header strip rounds only its top corners, whatever its radius: it meets the
  // body below along a straight edge.
  if (auto* strip = UIView::cls.cast(headerBackgroundView_.get())) {
    strip->caLayer().setContinuousCorners(true);
    strip->caLayer().setMaskedCorners(CALayer::kMinXMinYCorner | CALayer::kMaxXMinYCorner);
  }
  return ref();
}

void WGWidgetPlatterView::setIconImage(id image) {
  rt::send(iconImageView_, sel::setImage, image);
}

void WGWidgetPlatterView::setTitle(id title) {
  rt::send(titleLabel_, sel::setText, title);
}

void WGWidgetPlatterView::layoutSubviews() {
  const CGRect b = bounds();
  const CGFloat w = b.size.width;
  rt::send(backgroundView_, sel::setFrame, b);
  rt::send(headerBackgroundView_, sel::setFrame, CGRect{{0, 0}, {w, kHeaderHeight}});
  rt::send(headerView_, sel::setFrame, CGRect{{0, 0}, {w, kHeaderHeight}});
  setMirroredFrame(iconImageView_.get(),
                   {{kIconInset, (kHeaderHeight - kIconSize) / 2}, {kIconSize, kIconSize}}, w);
  const CGSize title = rt::send(titleLabel_, sel::sizeThatFits, CGSize{});
  const CGFloat titleX = kIconInset + kIconSize + kTitleGap;
  setMirroredFrame(titleLabel_.get(),
                   {{titleX, (kHeaderHeight - title.height) / 2},
                    {std::clamp<CGFloat>(w - kIconInset - titleX, 0, title.width), title.height}},
                   w);
  rt::send(this, sel::_layoutContentView);
}

void WGWidgetPlatterView::layoutContentView() {
  const CGRect b = bounds();
  const CGFloat w = b.size.width;
  rt::send(contentView_, sel::setFrame,
           CGRect{{0, kHeaderHeight}, {w, std::max<CGFloat>(b.size.height - kHeaderHeight, 0)}});
  const CGFloat inner = std::max<CGFloat>(w - 2 * kBarInset, 0);
  CGFloat y = kBarInset;
  for (size_t i = 0; i < bars_.size(); ++i) {
    setMirroredFrame(bars_[i].get(),
                     {{kBarInset, y}, {std::round(inner * kBarWidths[i]), kBarHeight}}, w);
    y += kBarHeight + kBarSpacing;
  }
}

// ---- The controller

Ref<> WGWidgetListItemViewController::initWithWidgetIdentifier(id identifier) {
  identifier_ = identifier ? identifier->ref() : nullptr;
  return ref();
}

void WGWidgetListItemViewController::loadView() {
  Ref<> platter = rt::send(WGWidgetPlatterView::cls.get(), sel::new_);
  Ref<> info = rt::send(host_, sel::widgetInfo);
  if (auto* p = WGWidgetPlatterView::cls.cast(platter.get())) {
    p->setTitle(rt::send(info, sel::displayName).get());
    p->setIconImage(rt::send(info, sel::_icon).get());
  }
  setView(platter.get());
}

// ---- The Today view

void SBTodayViewWindow::layoutSubviews() {
  CGFloat y = kTop;
  for (auto& child : subviewList()) {
    const auto* platter = WGWidgetPlatterView::cls.cast(child.get());
    const CGFloat h = platter ? platter->height() : child->frame().size.height;
    rt::send(child, sel::setFrame,
             CGRect{{(bounds().size.width - WGWidgetPlatterView::kWidth) / 2, y},
                    {WGWidgetPlatterView::kWidth, h}});
    y += h + kSpacing;
  }
}

CGRect SBTodayViewWindow::nextFrame(CGFloat height) const {
  CGFloat y = kTop;
  for (auto& child : subviewList()) y += child->frame().size.height + kSpacing;
  return {{(bounds().size.width - WGWidgetPlatterView::kWidth) / 2, y},
          {WGWidgetPlatterView::kWidth, height}};
}

Ref<> todayWindow() {
  return today().window;
}

Ref<> showWidget(const WidgetRecord& widget) {
  TodayView& t = today();
  if (!t.window) {
    const Device& d = device();
    t.window = rt::send(rt::send(SBTodayViewWindow::cls.get(), sel::alloc), sel::initWithFrame,
                        CGRect{{0, 0}, {d.screenWidth, d.screenHeight}});
  }
  Ref<> info = rt::send(WGWidgetInfo::cls.get(), sel::new_);
  auto* i = WGWidgetInfo::cls.cast(info.get());
  if (!i) return nullptr;
  i->setWidgetIdentifier(NSStr(widget.identifier).get());
  i->setDisplayName(widget.name.empty() ? nullptr : NSStr(widget.name).get());
  Ref<> hosting = rt::send(WGWidgetHostingViewController::cls.get(), sel::new_);
  if (auto* h = WGWidgetHostingViewController::cls.cast(hosting.get())) h->setWidgetInfo(i);

  Ref<> controller = rt::send(rt::send(WGWidgetListItemViewController::cls.get(), sel::alloc),
                              sel::initWithWidgetIdentifier, NSStr(widget.identifier));
  auto* c = WGWidgetListItemViewController::cls.cast(controller.get());
  if (!c) return nullptr;
  t.controllers.push_back(controller);
  c->setWidgetHost(hosting.get());
  Ref<> view = rt::send(controller, sel::view);
  auto* window = SBTodayViewWindow::cls.cast(t.window.get());
  if (auto* platter = WGWidgetPlatterView::cls.cast(view.get()); platter && window) {
    platter->setContentHeight(widget.contentHeight);
    rt::send(view, sel::setFrame, window->nextFrame(platter->height()));
  }
  rt::send(controller, sel::viewWillAppear, false);
  rt::send(t.window, sel::addSubview, view);
  if (widget.icon) {
    const auto delay = static_cast<int64_t>(std::llround(widget.iconDelay * NSEC_PER_SEC));
    dispatch_after(
        dispatch_time(DISPATCH_TIME_NOW, delay), dispatch_get_main_queue(),
        [controller, icon = widget.icon] { setWidgetIcon(controller.get(), icon.get()); });
  }
  return controller;
}

void setWidgetIcon(id controller, id icon) {
  auto* c = WGWidgetListItemViewController::cls.cast(controller);
  if (!c) return;
  if (auto* platter = WGWidgetPlatterView::cls.cast(c->view().get())) platter->setIconImage(icon);
  rt::send(rt::send(c->widgetHost(), sel::widgetInfo), sel::_setIcon, icon);
}

// ---- Classes

void WGWidgetInfo::bind(ClassBuilder<WGWidgetInfo>& b) {
  b.method<&WGWidgetInfo::widgetIdentifier>(sel::widgetIdentifier)
      .method<&WGWidgetInfo::displayName>(sel::displayName)
      .method<&WGWidgetInfo::icon>(sel::_icon)
      .method<&WGWidgetInfo::setIcon>(sel::_setIcon);
}

void WGWidgetHostingViewController::bind(ClassBuilder<WGWidgetHostingViewController>& b) {
  b.method<&WGWidgetHostingViewController::widgetInfo>(sel::widgetInfo);
}

void WGWidgetPlatterView::bind(ClassBuilder<WGWidgetPlatterView>& b) {
  b.method<&WGWidgetPlatterView::initWithFrame>(sel::initWithFrame)
      .method<&WGWidgetPlatterView::contentView>(sel::contentView)
      .method<&WGWidgetPlatterView::layoutSubviews>(sel::layoutSubviews)
      .method<&WGWidgetPlatterView::layoutContentView>(sel::_layoutContentView)
      .ivar<&WGWidgetPlatterView::backgroundView_>("_backgroundView")
      .ivar<&WGWidgetPlatterView::headerBackgroundView_>("_headerBackgroundView")
      .ivar<&WGWidgetPlatterView::headerView_>("_headerView")
      .ivar<&WGWidgetPlatterView::iconImageView_>("_iconImageView")
      .ivar<&WGWidgetPlatterView::titleLabel_>("_titleLabel")
      .ivar<&WGWidgetPlatterView::contentView_>("_contentView");
}

void WGWidgetListItemViewController::bind(ClassBuilder<WGWidgetListItemViewController>& b) {
  b.method<&WGWidgetListItemViewController::initWithWidgetIdentifier>(sel::initWithWidgetIdentifier)
      .method<&WGWidgetListItemViewController::widgetIdentifier>(sel::widgetIdentifier)
      .method<&WGWidgetListItemViewController::widgetHost>(sel::widgetHost)
      .method<&WGWidgetListItemViewController::loadView>(sel::loadView)
      .method<&WGWidgetListItemViewController::viewWillAppear>(sel::viewWillAppear)
      .method<&WGWidgetListItemViewController::viewDidLayoutSubviews>(sel::viewDidLayoutSubviews);
}

void SBTodayViewWindow::bind(ClassBuilder<SBTodayViewWindow>& b) {
  b.method<&SBTodayViewWindow::layoutSubviews>(sel::layoutSubviews);
}

void defineWidgets(ClassList& list) {
  list.define<WGWidgetInfo>(NSObject::cls);
  list.define<WGWidgetHostingViewController>(NSObject::cls);
  list.define<WGWidgetPlatterView>(PLPlatterView::cls);
  list.define<WGWidgetListItemViewController>(UIViewController::cls);
  list.define<SBTodayViewWindow>(UIWindow::cls);
}

void resetWidgets() {
  today() = {};
}

}  // namespace host
