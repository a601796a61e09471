// The widget routine's rows: the replacements that run the restyle pass, whose
// behaviour lives in src/widgets/.
#include "host/foundation/value_helpers.h"
#include "host/springboard/springboard_selectors.h"
#include "startup/added_classes.h"
#include "startup/hook_table.h"
#include "widgets/restyle.h"

namespace lumora {
namespace {

using rt::id;
using rt::ImpFor;
using rt::Ref;
using rt::SEL;

// The in-process notification that asks one widget to restyle.
Ref<> widgetNotificationName(id identifier) {
  return host::NSStr("com.tarnwick.lumora/" + host::formatObject(identifier));
}

Ref<> defaultCenter() {
  return rt::send(cls::NSNotificationCenter, sel::defaultCenter);
}

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

}  // namespace

std::vector<HookRow> widgetRows() {
  constexpr Routine w = Routine::Widget;
  std::vector<HookRow> rows{
      replaceRow(w, cls::WGWidgetListItemViewController, sel::initWithWidgetIdentifier,
                 &replaced_initWithWidgetIdentifier, &original_initWithWidgetIdentifier),
      replaceRow(w, cls::WGWidgetListItemViewController, sel::viewWillAppear,
                 &replaced_viewWillAppear, &original_viewWillAppear),
      replaceRow(w, cls::WGWidgetListItemViewController, sel::viewDidLayoutSubviews,
                 &replaced_viewDidLayoutSubviews, &original_viewDidLayoutSubviews),
      addRow(w, cls::WGWidgetListItemViewController, sel::lumoraColorize, &lumoraColorize, "v@:"),
      replaceRow(w, cls::WGWidgetInfo, sel::_setIcon, &replaced_setIcon, &original_setIcon),
      replaceRow(w, cls::WGWidgetPlatterView, sel::_layoutContentView, &replaced_layoutContentView,
                 &original_layoutContentView),
  };
  for (HookRow& row : propertyRows(w, cls::WGWidgetPlatterView)) rows.push_back(std::move(row));
  return rows;
}

}  // namespace lumora
