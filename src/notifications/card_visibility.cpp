#include "notifications/card_visibility.h"

#include "host/foundation/value_helpers.h"
#include "notifications/system_selectors.h"

namespace lumora {

using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

bool isKindOf(id object, rt::Class cls) {
  return rt::send(object, sel::isKindOfClass, cls);
}

}  // namespace

void lumoraHideHeader(id self, SEL, bool hide) {
  Ref<> header = rt::send(rt::send(self, sel::viewForPreview), sel::valueForKey,
                          LUMORA_STR("_headerContentView"));
  Ref<> subviews = rt::send(header, sel::subviews);
  for (uint64_t i = 0; i < rt::send(subviews, sel::count); ++i) {
    Ref<> view = rt::send(subviews, sel::objectAtIndex, i);
    if (isKindOf(view.get(), cls::UIButton.get())) rt::send(view, sel::setHidden, hide);
  }
  rt::send(rt::send(header, sel::valueForKey, LUMORA_STR("_titleLabel")), sel::setHidden, hide);
}

void lumoraHideGroupedNotifications(id self, SEL, bool hide) {
  Ref<> cell = rt::send(self, sel::associatedView);
  if (!cell) return;
  Ref<> list = rt::send(cell, sel::superview);
  Ref<> first = rt::send(list, sel::_visibleViewAtIndex, uint64_t{0});
  const bool hideOthers = rt::send(list, sel::isGrouped) && hide;
  Ref<> subviews = rt::send(list, sel::subviews);
  for (uint64_t i = 0; i < rt::send(subviews, sel::count); ++i) {
    Ref<> view = rt::send(subviews, sel::objectAtIndex, i);
    if (!isKindOf(view.get(), cls::NCNotificationListCell.get())) continue;
    rt::send(view, sel::setHidden, view == first ? false : hideOthers);
  }
}

}  // namespace lumora
