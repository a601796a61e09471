// Today-view widgets of the home screen, as the host nests them: the Today window holds
// one platter per widget, each the view of the widget's list item controller.
//
// Geometry, the model's choice after the host: a platter is 359 points wide, 8 points in
// from each side of the screen; the first starts 96 points from the top (below the
// status bar and the date), the next 8 points below it. A platter is its 36-point header
// plus the widget's content height (114 unless the scene says otherwise, so a plain
// widget is 359 x 150). The header holds the icon, 20 x 20 at x 12, and the widget's
// name in bold 13 points 8 points after it. The content view fills the platter below the
// header; it shows three placeholder bars, the model's stand-in for a widget's own view.
//
// Stacking: `_backgroundView` (the stock material, the whole platter), then
// `_headerBackgroundView` (the header strip's tint), the header, `_contentView`.
// `insertSubview:atIndex:` with an index beyond the number of subviews puts the view
// last, so a view inserted "at 5" in a platter of four ends on top of the content.
//
// The icon arrives later than the widget, as on the device: the host sets it on the
// widget's info with `_setIcon:` (through the runtime) a moment after the widget appears.
#pragma once

#include <string>

#include "host/springboard/platter_views.h"
#include "host/uikit/view_controller.h"

namespace host {

// WGWidgetInfo: the descriptor of one widget: identifier, display name and icon.
class WGWidgetInfo : public NSObject {
 public:
  static inline const rt::ClassOf<WGWidgetInfo> cls{"WGWidgetInfo"};
  static void bind(ClassBuilder<WGWidgetInfo>& b);
  Ref<> widgetIdentifier() const { return identifier_; }
  void setWidgetIdentifier(id identifier) {
    identifier_ = identifier ? identifier->ref() : nullptr;
  }
  Ref<> displayName() const { return name_; }
  void setDisplayName(id name) { name_ = name ? name->ref() : nullptr; }
  Ref<> icon() const { return icon_; }
  void setIcon(id icon) { icon_ = icon ? icon->ref() : nullptr; }

 private:
  Ref<> identifier_, name_, icon_;
};

// WGWidgetHostingViewController: hosts one widget's extension; what the list item
// controller's `widgetHost` answers. Only its `widgetInfo` is modelled.
class WGWidgetHostingViewController : public NSObject {
 public:
  static inline const rt::ClassOf<WGWidgetHostingViewController> cls{
      "WGWidgetHostingViewController"};
  static void bind(ClassBuilder<WGWidgetHostingViewController>& b);
  Ref<> widgetInfo() const { return info_; }
  void setWidgetInfo(id info) { info_ = info ? info->ref() : nullptr; }

 private:
  Ref<> info_;
};

// WGWidgetPlatterView: the card a widget is shown in.
class WGWidgetPlatterView : public PLPlatterView {
 public:
  static inline const rt::ClassOf<WGWidgetPlatterView> cls{"WGWidgetPlatterView"};
  static void bind(ClassBuilder<WGWidgetPlatterView>& b);
  static constexpr CGFloat kWidth = 359, kHeaderHeight = 36, kDefaultContentHeight = 114;
  static constexpr CGFloat kIconSize = 20, kIconInset = 12, kTitleGap = 8;

  Ref<> initWithFrame(CGRect frame);
  Ref<> contentView() const { return contentView_; }
  // The header's icon and name.
  void setIconImage(id image);
  void setTitle(id title);
  CGFloat contentHeight() const { return contentHeight_; }
  void setContentHeight(CGFloat height) { contentHeight_ = height; }
  // The header and contentHeight.
  CGFloat height() const { return kHeaderHeight + contentHeight_; }
  // The material and the header tint fill their areas, the header lays out its icon
  // and name, then `_layoutContentView` runs through the runtime.
  void layoutSubviews();
  // The content view below the header, its bars inside it.
  void layoutContentView();

 private:
  Ref<> backgroundView_, headerBackgroundView_, headerView_, iconImageView_, titleLabel_,
      contentView_;
  std::vector<Ref<>> bars_;
  CGFloat contentHeight_ = kDefaultContentHeight;
};

// WGWidgetListItemViewController: the controller of one widget in the Today view. Its
// view, made by `loadView`, is the widget's platter, filled from its host's info.
class WGWidgetListItemViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<WGWidgetListItemViewController> cls{
      "WGWidgetListItemViewController"};
  static void bind(ClassBuilder<WGWidgetListItemViewController>& b);
  Ref<> initWithWidgetIdentifier(id identifier);
  Ref<> widgetIdentifier() const { return identifier_; }
  Ref<> widgetHost() const { return host_; }
  void setWidgetHost(id host) { host_ = host ? host->ref() : nullptr; }
  void loadView();
  void viewWillAppear(bool) {}
  void viewDidLayoutSubviews() {}

 private:
  Ref<> identifier_, host_;
};

// The Today view's window: the platters one under the other.
class SBTodayViewWindow : public UIWindow {
 public:
  static inline const rt::ClassOf<SBTodayViewWindow> cls{"SBTodayViewWindow"};
  static void bind(ClassBuilder<SBTodayViewWindow>& b);
  static constexpr CGFloat kTop = 96, kSpacing = 8;
  void layoutSubviews();
  // Where a platter of the given height goes after the ones already shown.
  CGRect nextFrame(CGFloat height) const;
};

// One widget as the Today view shows it.
struct WidgetRecord {
  std::string identifier, name;
  Ref<> icon;              // nil: the widget never gets one
  double iconDelay = 0.1;  // seconds after the widget appears
  CGFloat contentHeight = WGWidgetPlatterView::kDefaultContentHeight;
};

// Shows the widget at the bottom of the Today view: the controller is made with
// `initWithWidgetIdentifier:` (through the runtime), its platter placed, `viewWillAppear:`
// sent, and the platter put in the Today window. The icon is set `iconDelay` seconds
// later on the main queue. Answers the controller (nil when this host lacks the class).
Ref<> showWidget(const WidgetRecord& widget);
// Gives the widget of that controller a new icon: the header shows it, then the info
// gets it through `_setIcon:`.
void setWidgetIcon(id controller, id icon);
// The Today window, nil until the first widget.
Ref<> todayWindow();

void defineWidgets(ClassList& list);
void resetWidgets();

}  // namespace host
