#include "host/springboard/widgets_media.h"

#include "host/host.h"

namespace host {

Ref<> WGWidgetListItemViewController::initWithWidgetIdentifier(id identifier) {
  identifier_ = identifier ? identifier->ref() : nullptr;
  return ref();
}

void registerWidgetsAndMedia() {
  using namespace rt;
  Class object = objc_getClass("NSObject");
  Class controller = objc_getClass("UIViewController");

  Class info = defineClass("WGWidgetInfo", object, [] { return std::make_shared<WGWidgetInfo>(); });
  bindMethod<&WGWidgetInfo::widgetIdentifier>(info, sel::widgetIdentifier);
  bindMethod<&WGWidgetInfo::icon>(info, sel::_icon);
  bindMethod<&WGWidgetInfo::setIcon>(info, sel::_setIcon);

  Class platter = defineClass("WGWidgetPlatterView", objc_getClass("PLPlatterView"),
                              [] { return std::make_shared<WGWidgetPlatterView>(); });
  bindMethod<&WGWidgetPlatterView::layoutContentView>(platter, sel::_layoutContentView);

  Class item = defineClass("WGWidgetListItemViewController", controller,
                           [] { return std::make_shared<WGWidgetListItemViewController>(); });
  bindMethod<&WGWidgetListItemViewController::initWithWidgetIdentifier>(
      item, sel::initWithWidgetIdentifier);
  bindMethod<&WGWidgetListItemViewController::widgetIdentifier>(item, sel::widgetIdentifier);
  bindMethod<&WGWidgetListItemViewController::viewWillAppear>(item, sel::viewWillAppear);
  bindMethod<&WGWidgetListItemViewController::viewDidLayoutSubviews>(item,
                                                                     sel::viewDidLayoutSubviews);

  defineClass("CSMediaControlsView", objc_getClass("UIView"),
              [] { return std::make_shared<CSMediaControlsView>(); });
  Class media = defineClass("SBMediaController", object,
                            [] { return std::make_shared<SBMediaController>(); });
  bindMethod<&SBMediaController::mediaRemoteNowPlayingInfoDidChange>(
      media, sel::_mediaRemoteNowPlayingInfoDidChange);
  defineClass("CSCoverSheetViewController", controller,
              [] { return std::make_shared<CSCoverSheetViewController>(); });
}

}  // namespace host
