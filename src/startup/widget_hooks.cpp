// The widget routine's rows: the replacements that run the restyle pass, whose
// behaviour lives in src/widgets/.
#include "startup/hook_table.h"
#include "widgets/replacements.h"
#include "widgets/restyle.h"

namespace lumora {

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
