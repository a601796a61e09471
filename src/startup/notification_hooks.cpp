// Replacements and added methods of the notification routine. Every replacement already
// reaches the host's behaviour through its slot; the styling joins as it is built.
#include "host/springboard/springboard_selectors.h"
#include "startup/hook_table.h"

namespace sel {
inline const Sel<void(bool)> lumoraHideHeader{"lumoraHideHeader:"};
inline const Sel<void(bool)> lumoraHideGroupedNotifications{"lumoraHideGroupedNotifications:"};
inline const Sel<Ref<>()> getDominantColor{"getDominantColor"};
inline const Sel<Ref<>(id, bool)> getIconForBundleId_withMask{"getIconForBundleId:withMask:"};
inline const Sel<Ref<>()> getContactPicture{"getContactPicture"};
}  // namespace sel

namespace lumora {
namespace {

using rt::CGFloat;
using rt::CGRect;
using rt::CGSize;
using rt::id;
using rt::ImpFor;
using rt::Ref;
using rt::SEL;

ImpFor<void> original_shortLookView_layoutSubviews;
void replaced_shortLookView_layoutSubviews(id self, SEL cmd) {
  original_shortLookView_layoutSubviews(self, cmd);
}

ImpFor<CGSize, CGSize> original_sizeThatFitsContentWithSize;
CGSize replaced_sizeThatFitsContentWithSize(id self, SEL cmd, CGSize size) {
  return original_sizeThatFitsContentWithSize(self, cmd, size);
}

ImpFor<void> original_listController_viewDidLayoutSubviews;
void replaced_listController_viewDidLayoutSubviews(id self, SEL cmd) {
  original_listController_viewDidLayoutSubviews(self, cmd);
}

ImpFor<void> original_shortLookController_viewDidLayoutSubviews;
void replaced_shortLookController_viewDidLayoutSubviews(id self, SEL cmd) {
  original_shortLookController_viewDidLayoutSubviews(self, cmd);
}

// FIXME: the controller's added methods (header hiding, stacked cards, icon, dominant
// colour, contact picture) are not built yet; they answer nothing.
void lumoraHideHeader(id, SEL, bool) {}
void lumoraHideGroupedNotifications(id, SEL, bool) {}
Ref<> getDominantColor(id, SEL) {
  return nullptr;
}
Ref<> getIconForBundleId(id, SEL, id, bool) {
  return nullptr;
}
Ref<> getContactPicture(id, SEL) {
  return nullptr;
}

ImpFor<void, CGRect> original_dateLabel_setFrame;
void replaced_dateLabel_setFrame(id self, SEL cmd, CGRect frame) {
  original_dateLabel_setFrame(self, cmd, frame);
}

ImpFor<CGFloat> original_iconTrailingPadding;
CGFloat replaced_iconTrailingPadding(id self, SEL cmd) {
  return original_iconTrailingPadding(self, cmd);
}

ImpFor<CGRect> original_mainContentFrame;
CGRect replaced_mainContentFrame(id self, SEL cmd) {
  return original_mainContentFrame(self, cmd);
}

ImpFor<void, id> original_setPrimaryText;
void replaced_setPrimaryText(id self, SEL cmd, id text) {
  original_setPrimaryText(self, cmd, text);
}

ImpFor<void> original_contentView_layoutSubviews;
void replaced_contentView_layoutSubviews(id self, SEL cmd) {
  original_contentView_layoutSubviews(self, cmd);
}

ImpFor<void> original_optionsView_layoutSubviews;
void replaced_optionsView_layoutSubviews(id self, SEL cmd) {
  original_optionsView_layoutSubviews(self, cmd);
}

}  // namespace

std::vector<HookRow> notificationRows() {
  constexpr Routine n = Routine::Notification;
  std::vector<HookRow> rows{
      replaceRow(n, "NCNotificationShortLookView", sel::layoutSubviews,
                 &replaced_shortLookView_layoutSubviews, &original_shortLookView_layoutSubviews),
      replaceRow(n, "NCNotificationShortLookView", sel::sizeThatFitsContentWithSize,
                 &replaced_sizeThatFitsContentWithSize, &original_sizeThatFitsContentWithSize),
  };
  for (HookRow& row : propertyRows(n, "NCNotificationShortLookView"))
    rows.push_back(std::move(row));
  std::vector<HookRow> rest{
      replaceRow(n, "NCNotificationStructuredListViewController", sel::viewDidLayoutSubviews,
                 &replaced_listController_viewDidLayoutSubviews,
                 &original_listController_viewDidLayoutSubviews),
      replaceRow(n, "NCNotificationShortLookViewController", sel::viewDidLayoutSubviews,
                 &replaced_shortLookController_viewDidLayoutSubviews,
                 &original_shortLookController_viewDidLayoutSubviews),
      addRow(n, "NCNotificationShortLookViewController", sel::lumoraHideHeader, &lumoraHideHeader,
             "v@:B"),
      addRow(n, "NCNotificationShortLookViewController", sel::lumoraHideGroupedNotifications,
             &lumoraHideGroupedNotifications, "v@:B"),
      addRow(n, "NCNotificationShortLookViewController", sel::getDominantColor, &getDominantColor,
             "@@:"),
      addRow(n, "NCNotificationShortLookViewController", sel::getIconForBundleId_withMask,
             &getIconForBundleId, "@@:@B"),
      addRow(n, "NCNotificationShortLookViewController", sel::getContactPicture, &getContactPicture,
             "@@:"),
      replaceRow(n, "BSUIDefaultDateLabel", sel::setFrame, &replaced_dateLabel_setFrame,
                 &original_dateLabel_setFrame),
      replaceRow(n, "PLPlatterHeaderContentView", sel::_iconTrailingPadding,
                 &replaced_iconTrailingPadding, &original_iconTrailingPadding),
      replaceRow(n, "PLTitledPlatterView", sel::_mainContentFrame, &replaced_mainContentFrame,
                 &original_mainContentFrame),
      replaceRow(n, "NCNotificationContentView", sel::setPrimaryText, &replaced_setPrimaryText,
                 &original_setPrimaryText),
      replaceRow(n, "NCNotificationContentView", sel::layoutSubviews,
                 &replaced_contentView_layoutSubviews, &original_contentView_layoutSubviews),
      replaceRow(n, "NCAuxiliaryOptionsView", sel::layoutSubviews,
                 &replaced_optionsView_layoutSubviews, &original_optionsView_layoutSubviews),
  };
  for (HookRow& row : rest) rows.push_back(std::move(row));
  return rows;
}

}  // namespace lumora
