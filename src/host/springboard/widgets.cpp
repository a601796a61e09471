#include "host/springboard/widgets.h"

namespace host {

Ref<> WGWidgetListItemViewController::initWithWidgetIdentifier(id identifier) {
  identifier_ = identifier ? identifier->ref() : nullptr;
  return ref();
}

void WGWidgetInfo::bind(ClassBuilder<WGWidgetInfo>& b) {
  b.method<&WGWidgetInfo::widgetIdentifier>(sel::widgetIdentifier)
      .method<&WGWidgetInfo::icon>(sel::_icon)
      .method<&WGWidgetInfo::setIcon>(sel::_setIcon);
}

void WGWidgetPlatterView::bind(ClassBuilder<WGWidgetPlatterView>& b) {
  b.method<&WGWidgetPlatterView::layoutContentView>(sel::_layoutContentView);
}

void WGWidgetListItemViewController::bind(ClassBuilder<WGWidgetListItemViewController>& b) {
  b.method<&WGWidgetListItemViewController::initWithWidgetIdentifier>(sel::initWithWidgetIdentifier)
      .method<&WGWidgetListItemViewController::widgetIdentifier>(sel::widgetIdentifier)
      .method<&WGWidgetListItemViewController::viewWillAppear>(sel::viewWillAppear)
      .method<&WGWidgetListItemViewController::viewDidLayoutSubviews>(sel::viewDidLayoutSubviews);
}

void defineWidgets(ClassList& list) {
  list.define<WGWidgetInfo>(NSObject::cls);
  list.define<WGWidgetPlatterView>(PLPlatterView::cls);
  list.define<WGWidgetListItemViewController>(UIViewController::cls);
}

}  // namespace host
