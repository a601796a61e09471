#include "widgets/replacements.h"

#include "host/foundation/value_helpers.h"
#include "host/springboard/springboard_selectors.h"
#include "shared/added_views.h"
#include "widgets/restyle.h"

namespace lumora {

using rt::id;
using rt::ImpFor;
using rt::Ref;
using rt::SEL;

namespace {

// The in-process notification that asks one widget to restyle.
Ref<> widgetNotificationName(id identifier) {
  return host::NSStr("com.tarnwick.lumora/" + host::formatObject(identifier));
}

Ref<> defaultCenter() {
  return rt::send(cls::NSNotificationCenter, sel::defaultCenter);
}

}  // namespace

ImpFor<Ref<>, id> original_initWithWidgetIdentifier;
Ref<> replaced_initWithWidgetIdentifier(id self, SEL cmd, id identifier) {
  rt::send(defaultCenter(), sel::addUniqueObserver_selector_name_object, self,
           sel::lumoraColorize.get(), widgetNotificationName(identifier), nullptr);
  return original_initWithWidgetIdentifier(self, cmd, identifier);
}

ImpFor<void, bool> original_viewWillAppear;
void replaced_viewWillAppear(id self, SEL cmd, bool animated) {
  original_viewWillAppear(self, cmd, animated);
  rt::send(self, sel::lumoraColorize);
}

ImpFor<void> original_viewDidLayoutSubviews;
void replaced_viewDidLayoutSubviews(id self, SEL cmd) {
  original_viewDidLayoutSubviews(self, cmd);
  rt::send(self, sel::lumoraColorize);
}

ImpFor<void, id> original_setIcon;
void replaced_setIcon(id self, SEL cmd, id icon) {
  original_setIcon(self, cmd, icon);
  Ref<> identifier = rt::send(self, sel::widgetIdentifier);
  rt::send(defaultCenter(), sel::postNotificationName_object,
           widgetNotificationName(identifier.get()), nullptr);
}

ImpFor<void> original_layoutContentView;
void replaced_layoutContentView(id self, SEL cmd) {
  original_layoutContentView(self, cmd);
  offsetContentViewBelowHeader(self);
}

}  // namespace lumora
