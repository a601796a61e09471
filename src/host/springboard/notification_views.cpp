#include "host/springboard/notification_views.h"

#include "host/host.h"

namespace host {

CGRect PLTitledPlatterView::mainContentFrame() const {
  const CGRect b = bounds();
  return {{0, kHeaderHeight},
          {b.size.width, b.size.height > kHeaderHeight ? b.size.height - kHeaderHeight : 0}};
}

void NCNotificationShortLookView::layoutSubviews() {
  const CGRect content = rt::send(this, sel::_mainContentFrame);
  Class contentClass = rt::objc_getClass("NCNotificationContentView");
  for (auto& child : subviewList())
    if (contentClass && rt::class_isSubclassOf(child->isa(), contentClass))
      rt::send(child, sel::setFrame, content);
}

CGSize NCNotificationShortLookView::sizeThatFitsContentWithSize(CGSize size) const {
  return {size.width, kHeaderHeight + kContentHeight};
}

void registerNotificationViews() {
  using namespace rt;
  Class view = objc_getClass("UIView");
  Class controller = objc_getClass("UIViewController");
  Class platter =
      defineClass("PLPlatterView", view, [] { return std::make_shared<PLPlatterView>(); });
  Class titled = defineClass("PLTitledPlatterView", platter,
                             [] { return std::make_shared<PLTitledPlatterView>(); });
  bindMethod<&PLTitledPlatterView::mainContentFrame>(titled, sel::_mainContentFrame);

  Class shortLook = defineClass("NCNotificationShortLookView", titled,
                                [] { return std::make_shared<NCNotificationShortLookView>(); });
  bindMethod<&NCNotificationShortLookView::layoutSubviews>(shortLook, sel::layoutSubviews);
  bindMethod<&NCNotificationShortLookView::sizeThatFitsContentWithSize>(
      shortLook, sel::sizeThatFitsContentWithSize);

  Class header = defineClass("PLPlatterHeaderContentView", view,
                             [] { return std::make_shared<PLPlatterHeaderContentView>(); });
  bindMethod<&PLPlatterHeaderContentView::iconTrailingPadding>(header, sel::_iconTrailingPadding);

  Class content = defineClass("NCNotificationContentView", view,
                              [] { return std::make_shared<NCNotificationContentView>(); });
  bindMethod<&NCNotificationContentView::primaryText>(content, sel::primaryText);
  bindMethod<&NCNotificationContentView::setPrimaryText>(content, sel::setPrimaryText);
  bindMethod<&NCNotificationContentView::layoutSubviews>(content, sel::layoutSubviews);

  Class options = defineClass("NCAuxiliaryOptionsView", view,
                              [] { return std::make_shared<NCAuxiliaryOptionsView>(); });
  bindMethod<&NCAuxiliaryOptionsView::layoutSubviews>(options, sel::layoutSubviews);

  Class notification = defineClass("NCNotificationViewController", controller,
                                   [] { return std::make_shared<NCNotificationViewController>(); });
  bindMethod<&NCNotificationViewController::associatedView>(notification, sel::associatedView);
  bindMethod<&NCNotificationViewController::setAssociatedView>(notification,
                                                               sel::setAssociatedView);

  Class shortLookController =
      defineClass("NCNotificationShortLookViewController", notification,
                  [] { return std::make_shared<NCNotificationShortLookViewController>(); });
  bindMethod<&NCNotificationShortLookViewController::viewForPreview>(shortLookController,
                                                                     sel::viewForPreview);
  bindMethod<&NCNotificationShortLookViewController::viewDidLayoutSubviews>(
      shortLookController, sel::viewDidLayoutSubviews);

  Class list = defineClass("NCNotificationStructuredListViewController", controller, [] {
    return std::make_shared<NCNotificationStructuredListViewController>();
  });
  bindMethod<&NCNotificationStructuredListViewController::viewDidLayoutSubviews>(
      list, sel::viewDidLayoutSubviews);

  defineClass("BSUIDefaultDateLabel", objc_getClass("UILabel"),
              [] { return std::make_shared<BSUIDefaultDateLabel>(); });
}

}  // namespace host
