#include "host/springboard/widgets_media.h"

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

void SBMediaController::bind(ClassBuilder<SBMediaController>& b) {
  b.method<&SBMediaController::mediaRemoteNowPlayingInfoDidChange>(
      sel::_mediaRemoteNowPlayingInfoDidChange);
}

void defineWidgetsAndMedia(ClassList& list) {
  list.define<WGWidgetInfo>(NSObject::cls);
  list.define<WGWidgetPlatterView>(PLPlatterView::cls);
  list.define<WGWidgetListItemViewController>(UIViewController::cls);
  list.define<CSMediaControlsView>(UIView::cls);
  list.define<SBMediaController>(NSObject::cls);
  list.define<CSCoverSheetViewController>(UIViewController::cls);
}

}  // namespace host
