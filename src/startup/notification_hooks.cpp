// The notification routine's rows: the layout adjustments, the restyle pass and the
// controller's added methods, whose behaviour lives in src/notifications/.
#include "notifications/icons.h"
#include "notifications/layout_adjustments.h"
#include "notifications/restyle.h"
#include "notifications/system_selectors.h"
#include "startup/hook_table.h"

namespace lumora {

std::vector<HookRow> notificationRows() {
  constexpr Routine n = Routine::Notification;
  std::vector<HookRow> rows{
      replaceRow(n, "NCNotificationShortLookView", sel::layoutSubviews,
                 &adjust::shortLookView_layoutSubviews,
                 &adjust::original_shortLookView_layoutSubviews),
      replaceRow(n, "NCNotificationShortLookView", sel::sizeThatFitsContentWithSize,
                 &adjust::sizeThatFitsContentWithSize,
                 &adjust::original_sizeThatFitsContentWithSize),
  };
  for (HookRow& row : propertyRows(n, "NCNotificationShortLookView"))
    rows.push_back(std::move(row));
  std::vector<HookRow> rest{
      replaceRow(n, "NCNotificationStructuredListViewController", sel::viewDidLayoutSubviews,
                 &adjust::listController_viewDidLayoutSubviews,
                 &adjust::original_listController_viewDidLayoutSubviews),
      replaceRow(n, "NCNotificationShortLookViewController", sel::viewDidLayoutSubviews,
                 &restyleNotification, &original_shortLookController_viewDidLayoutSubviews),
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
      replaceRow(n, "BSUIDefaultDateLabel", sel::setFrame, &adjust::dateLabel_setFrame,
                 &adjust::original_dateLabel_setFrame),
      replaceRow(n, "PLPlatterHeaderContentView", sel::_iconTrailingPadding,
                 &adjust::iconTrailingPadding, &adjust::original_iconTrailingPadding),
      replaceRow(n, "PLTitledPlatterView", sel::_mainContentFrame, &adjust::mainContentFrame,
                 &adjust::original_mainContentFrame),
      replaceRow(n, "NCNotificationContentView", sel::setPrimaryText, &adjust::setPrimaryText,
                 &adjust::original_setPrimaryText),
      replaceRow(n, "NCNotificationContentView", sel::layoutSubviews,
                 &adjust::contentView_layoutSubviews, &adjust::original_contentView_layoutSubviews),
      replaceRow(n, "NCAuxiliaryOptionsView", sel::layoutSubviews,
                 &adjust::optionsView_layoutSubviews, &adjust::original_optionsView_layoutSubviews),
  };
  for (HookRow& row : rest) rows.push_back(std::move(row));
  return rows;
}

}  // namespace lumora
