// The notification views and controllers of the home screen. Sizes follow the host: a
// banner is about 359 x 70 points, its header strip 24 points high.
#pragma once

#include "host/springboard/selectors.h"
#include "host/uikit/view.h"

namespace host {

// PLPlatterView: the rounded card behind notifications and widgets.
class PLPlatterView : public UIView {};

// PLTitledPlatterView: a card with a header strip above its main content.
class PLTitledPlatterView : public PLPlatterView {
 public:
  static constexpr CGFloat kHeaderHeight = 24;
  // The content area: the bounds below the header strip.
  CGRect mainContentFrame() const;
};

// NCNotificationShortLookView: the banner or lockscreen card of one notification.
class NCNotificationShortLookView : public PLTitledPlatterView {
 public:
  static constexpr CGFloat kContentHeight = 46;
  // Lays the content view out in the main content frame (asked through the runtime).
  void layoutSubviews();
  // The size the card needs: the given width, header plus content height.
  CGSize sizeThatFitsContentWithSize(CGSize size) const;
};

// PLPlatterHeaderContentView: the header strip (icon, title, date).
class PLPlatterHeaderContentView : public UIView {
 public:
  // The room between the icon and the title, in points.
  CGFloat iconTrailingPadding() const { return 8; }
};

// NCNotificationContentView: the primary (title) and secondary (body) texts.
class NCNotificationContentView : public UIView {
 public:
  Ref<> primaryText() const { return primaryText_; }
  void setPrimaryText(id text) { primaryText_ = text ? text->ref() : nullptr; }
  void layoutSubviews() {}

 private:
  Ref<> primaryText_;
};

// NCAuxiliaryOptionsView: the option buttons under an expanded lockscreen notification.
class NCAuxiliaryOptionsView : public UIView {
 public:
  void layoutSubviews() {}
};

// NCNotificationViewController: the controller of one notification. Its associated view
// is set when the notification is shown in the lockscreen list, nil for a banner.
class NCNotificationViewController : public UIViewController {
 public:
  Ref<> associatedView() const { return associatedView_.lock(); }
  void setAssociatedView(id view) {
    associatedView_ = view ? view->weak_from_this() : rt::WeakRef<>();
  }

 private:
  rt::WeakRef<> associatedView_;
};

class NCNotificationShortLookViewController : public NCNotificationViewController {
 public:
  // The short-look view, which is the controller's view here.
  Ref<> viewForPreview() { return view(); }
  void viewDidLayoutSubviews() {}
};

// The lockscreen's list of notifications.
class NCNotificationStructuredListViewController : public UIViewController {
 public:
  void viewDidLayoutSubviews() {}
};

// BSUIDefaultDateLabel: the header's relative date ("now", "2m ago").
class BSUIDefaultDateLabel : public UILabel {};

void registerNotificationViews();

}  // namespace host
