#include "notifications/layout_adjustments.h"

#include "host/foundation/value_helpers.h"
#include "notifications/context.h"
#include "notifications/system_selectors.h"
#include "prefs/globals.h"

namespace lumora::adjust {
namespace {

using rt::Ref;

constexpr CGFloat kHeaderBonus = 10, kModernLift = 14, kDateLift = 3, kNoIconPadding = -18;

// The section of the notification the view belongs to, when its controller is a
// short-look controller; nil otherwise.
Ref<> sectionOf(id view) {
  Ref<> controller = rt::send(view, sel::_viewControllerForAncestor);
  if (!rt::send(controller, sel::isKindOfClass, cls::NCNotificationShortLookViewController.get()))
    return nullptr;
  return rt::send(rt::send(controller, sel::notificationRequest), sel::sectionIdentifier);
}

bool isSystemSection(id section) {
  return host::isString(section, kDoNotDisturbSection) ||
         host::isString(section, kSmartChargingSection);
}

// A coloured classic header: style "classic" and a header colour other than "none".
bool hasColouredClassicHeader(id view) {
  return contextSettingIs("style", view, "classic") &&
         !contextSettingIs("colorHeader", view, "none");
}

}  // namespace

ImpFor<void> original_shortLookView_layoutSubviews;
void shortLookView_layoutSubviews(id self, SEL cmd) {
  original_shortLookView_layoutSubviews(self, cmd);
  if (!isContextEnabled(self)) return;
  rt::send(rt::send(self, sel::lumoraBackground), sel::setFrame, rt::send(self, sel::frame));
}

ImpFor<CGSize, CGSize> original_sizeThatFitsContentWithSize;
CGSize sizeThatFitsContentWithSize(id self, SEL cmd, CGSize size) {
  if (!isContextEnabled(self)) return original_sizeThatFitsContentWithSize(self, cmd, size);
  CGSize result = original_sizeThatFitsContentWithSize(self, cmd, size);
  if (hasColouredClassicHeader(self)) result.height += kHeaderBonus;
  return result;
}

ImpFor<void> original_listController_viewDidLayoutSubviews;
void listController_viewDidLayoutSubviews(id self, SEL cmd) {
  original_listController_viewDidLayoutSubviews(self, cmd);
  // No gate: the forced appearance of the list applies whatever the lockscreen switch.
  Ref<> mode = rt::send(preferences, sel::valueForKey, host::NSStr("forceModeLockscreen"));
  if (host::isString(mode.get(), "dark"))
    rt::send(self, sel::setOverrideUserInterfaceStyle, host::UIUserInterfaceStyleDark);
  else if (host::isString(mode.get(), "light"))
    rt::send(self, sel::setOverrideUserInterfaceStyle, host::UIUserInterfaceStyleLight);
}

ImpFor<void, CGRect> original_dateLabel_setFrame;
void dateLabel_setFrame(id self, SEL cmd, CGRect frame) {
  if (isContextEnabled(self) && contextSettingIs("style", self, "modern") &&
      rt::send(rt::send(self, sel::superview), sel::frame).size.width > 0)
    frame.origin.y -= kDateLift;
  original_dateLabel_setFrame(self, cmd, frame);
}

ImpFor<CGFloat> original_iconTrailingPadding;
CGFloat iconTrailingPadding(id self, SEL cmd) {
  if (isContextEnabled(self) && contextSettingIs("indicatorClassic", self, "none"))
    return kNoIconPadding;
  return original_iconTrailingPadding(self, cmd);
}

ImpFor<CGRect> original_mainContentFrame;
CGRect mainContentFrame(id self, SEL cmd) {
  if (!isContextEnabled(self)) return original_mainContentFrame(self, cmd);
  rt::send(rt::send(self, sel::customContentView), sel::setClipsToBounds, false);
  CGRect rect = original_mainContentFrame(self, cmd);
  if (contextSettingIs("style", self, "modern")) {
    rect.origin.y -= kModernLift;
    if (!isRightToLeftLayout()) rect.origin.x += modernIndicatorWidth(self);
  } else if (hasColouredClassicHeader(self)) {
    rect.origin.y += kHeaderBonus;
  }
  return rect;
}

ImpFor<void, id> original_setPrimaryText;
void setPrimaryText(id self, SEL cmd, id text) {
  if (!isContextEnabled(self)) return original_setPrimaryText(self, cmd, text);
  Ref<> chosen = text ? text->ref() : nullptr;
  Ref<> section;
  if (rt::send(preferences, sel::boolForKey, contextKey("nameAsTitle", self)))
    section = sectionOf(self);
  if (!chosen && section && !isSystemSection(section.get())) {
    Ref<> app = rt::send(rt::send(cls::SBApplicationController, sel::sharedInstance),
                         sel::applicationWithBundleIdentifier, section);
    if (Ref<> name = rt::send(app, sel::displayName)) chosen = name;
  }
  original_setPrimaryText(self, cmd, chosen.get());
}

ImpFor<void> original_contentView_layoutSubviews;
void contentView_layoutSubviews(id self, SEL cmd) {
  original_contentView_layoutSubviews(self, cmd);
  if (!isContextEnabled(self)) return;
  Ref<> labels[4];
  CGRect frames[4];
  const char* names[4] = {"_primaryLabel", "_primarySubtitleLabel", "_secondaryLabel",
                          "_summaryLabel"};
  for (int i = 0; i < 4; ++i) {
    labels[i] = rt::send(self, sel::valueForKey, host::NSStr(names[i]));
    frames[i] = rt::send(labels[i], sel::frame);
  }
  CGFloat room = modernIndicatorWidth(self);
  if (Ref<> thumbnail = rt::send(self, sel::safeValueForKey, host::NSStr("_thumbnailImageView"))) {
    const bool rightToLeft = isRightToLeftLayout();
    CGRect frame = rt::send(thumbnail, sel::frame);
    if (!rightToLeft) frame.origin.x -= room;
    rt::send(thumbnail, sel::setFrame, frame);
    Ref<> section = sectionOf(self);
    if (isSystemSection(section.get()) && contextSettingIs("style", self, "modern") && !rightToLeft)
      room -= frame.size.width;
  }
  for (int i = 0; i < 4; ++i) {
    frames[i].size.width -= room;
    rt::send(labels[i], sel::setFrame, frames[i]);
  }
}

ImpFor<void> original_optionsView_layoutSubviews;
void optionsView_layoutSubviews(id self, SEL cmd) {
  if (!isContextEnabled(self)) return original_optionsView_layoutSubviews(self, cmd);
  CGRect frame = rt::send(self, sel::frame);
  // A row without width yet is left to the next layout pass, the host's layout included.
  if (!(frame.size.width > 0)) return;
  frame.size.width -= modernIndicatorWidth(self);
  rt::send(self, sel::setFrame, frame);
  float radius = cornerRadiusForView(self);
  if (radius < 0) radius = static_cast<float>(frame.size.height * 0.5);
  Ref<> overlay = rt::send(self, sel::safeValueForKey, host::NSStr("_overlayView"));
  rt::send(rt::send(overlay, sel::layer), sel::setCornerRadius, CGFloat{radius});
  rt::send(overlay, sel::setBackgroundColor, nullptr);
  original_optionsView_layoutSubviews(self, cmd);
}

}  // namespace lumora::adjust
