// Today-view widgets of the home screen. A widget card is about 359 x 150 points.
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

void defineWidgets(ClassList& list);

}  // namespace host
