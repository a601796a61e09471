#include "startup/hook_table.h"

#include "startup/added_classes.h"

namespace lumora {

const std::vector<HookRow>& hookTable() {
  static const std::vector<HookRow> table = [] {
    std::vector<HookRow> rows;
    for (auto* part : {&widgetRows, &notificationRows, &mediaRows})
      for (HookRow& row : (*part)()) rows.push_back(std::move(row));
    return rows;
  }();
  return table;
}

std::vector<HookRow> propertyRows(Routine routine, const rt::ClassName& hostClass) {
  std::vector<HookRow> rows;
  const auto& properties = addedProperties();
  for (size_t index = 0; index < properties.size(); ++index) {
    const AddedProperty& p = properties[index];
    if (p.hostClass != &hostClass) continue;
    rows.push_back({routine, p.hostClass, p.getter, HookKind::Property,
                    [index](rt::Class cls) { addPropertyGetter(cls, index); }, [] {}});
    rows.push_back({routine, p.hostClass, p.setter, HookKind::Property,
                    [index](rt::Class cls) { addPropertySetter(cls, index); }, [] {}});
  }
  return rows;
}

const char* routineName(Routine routine) {
  switch (routine) {
    case Routine::Widget:
      return "widget";
    case Routine::Notification:
      return "notification";
    case Routine::Media:
      return "media";
  }
  return "?";
}

const char* hookKindName(HookKind kind) {
  switch (kind) {
    case HookKind::Replace:
      return "replace";
    case HookKind::Add:
      return "add";
    case HookKind::Property:
      return "property";
  }
  return "?";
}

}  // namespace lumora
