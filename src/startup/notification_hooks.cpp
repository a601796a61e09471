// The notification routine's rows: the layout adjustments, the restyle pass and the
// controller's added methods, whose behaviour lives in src/notifications/.
#include "notifications/card_visibility.h"
#include "notifications/icons.h"
#include "notifications/layout_adjustments.h"
#include "notifications/restyle.h"
#include "notifications/system_selectors.h"
#include "startup/hook_table.h"

namespace lumora {

std::vector<HookRow> notificationRows() {
  constexpr Routine n = Routine::Notification;
  std::vector<HookRow> rows{
      replaceRow(n, cls::NCNotificationShortLookView, sel::layoutSubviews,
                 &adjust::shortLookView_layoutSubviews,
                 &adjust::original_shortLookView_layoutSubviews),
      replaceRow(n, cls::NCNotificationShortLookView, sel::sizeThatFitsContentWithSize,
                 &adjust::sizeThatFitsContentWithSize,
                 &adjust::original_sizeThatFitsContentWithSize),
  };
  for (HookRow& row : propertyRows(n, cls::NCNotificationShortLookView))
    rows.push_back(std::move(row));
  std::vector<HookRow> rest{
      replaceRow(n, cls::NCNotificationStructuredListViewController, sel::viewDidLayoutSubviews,
                 &adjust::listController_viewDidLayoutSubviews,
                 &adjust::original_listController_viewDidLayoutSubviews),
      replaceRow(n, cls::NCNotificationShortLookViewController, sel::viewDidLayoutSubviews,
                 &restyleNotification, &original_shortLookController_viewDidLayoutSubviews),
      addRow(n, cls::NCNotificationShortLookViewController, sel::lumoraHideHeader,
             &lumoraHideHeader, "v@:B"),
      addRow(n, cls::NCNotificationShortLookViewController, sel::lumoraHideGroupedNotifications,
             &lumoraHideGroupedNotifications, "v@:B"),
      addRow(n, cls::NCNotificationShortLookViewController, sel::getDominantColor,
             &getDominantColor, "@@:"),
      addRow(n, cls::NCNotificationShortLookViewController, sel::getIconForBundleId_withMask,
             &getIconForBundleId, "@@:@B"),
      addRow(n, cls::NCNotificationShortLookViewController, sel::getContactPicture,
             &getContactPicture, "@@:"),
      replaceRow(n, cls::BSUIDefaultDateLabel, sel::setFrame, &adjust::dateLabel_setFrame,
                 &adjust::original_dateLabel_setFrame),
      replaceRow(n, cls::PLPlatterHeaderContentView, sel::_iconTrailingPadding,
                 &adjust::iconTrailingPadding, &adjust::original_iconTrailingPadding),
      replaceRow(n, cls::PLTitledPlatterView, sel::_mainContentFrame, &adjust::mainContentFrame,
                 &adjust::original_mainContentFrame),
      replaceRow(n, cls::NCNotificationContentView, sel::setPrimaryText, &adjust::setPrimaryText,
                 &adjust::original_setPrimaryText),
      replaceRow(n, cls::NCNotificationContentView, sel::layoutSubviews,
                 &adjust::contentView_layoutSubviews, &adjust::original_contentView_layoutSubviews),
      replaceRow(n, cls::NCAuxiliaryOptionsView, sel::layoutSubviews,
                 &adjust::optionsView_layoutSubviews, &adjust::original_optionsView_layoutSubviews),
  };
  for (HookRow& row : rest) rows.push_back(std::move(row));
  return rows;
}

}  // namespace lumora
