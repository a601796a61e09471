// Today-view widgets and the lockscreen media player of the home screen. A widget card
// is about 359 x 150 points, the media player about 359 x 200.
#pragma once

#include "host/springboard/notification_views.h"

namespace host {

// WGWidgetInfo: the descriptor of one widget: identifier and icon. The icon arrives
// later than the widget, through _setIcon:.
class WGWidgetInfo : public NSObject {
 public:
  static inline const rt::ClassOf<WGWidgetInfo> cls{"WGWidgetInfo"};
  static void bind(ClassBuilder<WGWidgetInfo>& b);
  Ref<> widgetIdentifier() const { return identifier_; }
  void setWidgetIdentifier(id identifier) {
    identifier_ = identifier ? identifier->ref() : nullptr;
  }
  Ref<> icon() const { return icon_; }
  void setIcon(id icon) { icon_ = icon ? icon->ref() : nullptr; }

 private:
  Ref<> identifier_, icon_;
};

// WGWidgetPlatterView: the card a widget is shown in.
class WGWidgetPlatterView : public PLPlatterView {
 public:
  static inline const rt::ClassOf<WGWidgetPlatterView> cls{"WGWidgetPlatterView"};
  static void bind(ClassBuilder<WGWidgetPlatterView>& b);
  void layoutContentView() {}
};

// WGWidgetListItemViewController: the controller of one widget in the Today view.
class WGWidgetListItemViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<WGWidgetListItemViewController> cls{
      "WGWidgetListItemViewController"};
  static void bind(ClassBuilder<WGWidgetListItemViewController>& b);
  Ref<> initWithWidgetIdentifier(id identifier);
  Ref<> widgetIdentifier() const { return identifier_; }
  void viewWillAppear(bool) {}
  void viewDidLayoutSubviews() {}

 private:
  Ref<> identifier_;
};

// CSMediaControlsView: the lockscreen media player; its didMoveToWindow is UIView's.
class CSMediaControlsView : public UIView {
 public:
  static inline const rt::ClassOf<CSMediaControlsView> cls{"CSMediaControlsView"};
};

// SBMediaController: the home screen's now-playing state.
class SBMediaController : public NSObject {
 public:
  static inline const rt::ClassOf<SBMediaController> cls{"SBMediaController"};
  static void bind(ClassBuilder<SBMediaController>& b);
  void mediaRemoteNowPlayingInfoDidChange(id) {}
};

// CSCoverSheetViewController: the lockscreen's controller; its loadView is inherited.
class CSCoverSheetViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<CSCoverSheetViewController> cls{"CSCoverSheetViewController"};
};

void defineWidgetsAndMedia(ClassList& list);

}  // namespace host
