// The notification views and controllers of the home screen. Each view builds its own
// subviews when it is made (`initWithFrame:`), publishes them under the host's instance
// variable names, and lays them out in `layoutSubviews` from its own bounds.
//
// Geometry, the model's choice after the host: a card is 359 points wide; its header
// row (platter_views.h) is 41 points high, with the app icon at (10.5, 10.5, 20, 20)
// and the app's name and the date on the icon's line. The content below it starts right
// under the header row and ends 10.5 points above the card's bottom edge (as much room as
// the icon has above it), 10 points in from the sides: the title in bold 15 points on
// one line, the message in 15 points on up to four lines and, on the front card of a
// collapsed stack, the summary ("2 more notifications") in 13 points, 4 points below the
// message; a thumbnail of 36 x 36 sits at the content's trailing edge, level with the
// title, and the labels end 8 points before it. A card's height follows from its
// content: a one-line title and a one-line message make 41 + 18 + 18 + 10.5 = 87.5
// points. In a right-to-left layout every frame is mirrored within its superview.
#pragma once

#include <vector>

#include "host/springboard/platter_views.h"
#include "host/uikit/view_controller.h"

namespace host {

// NCNotificationContentView: the primary (title), subtitle, secondary (message) and
// summary texts, stacked.
class NCNotificationContentView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationContentView> cls{"NCNotificationContentView"};
  static void bind(ClassBuilder<NCNotificationContentView>& b);
  static constexpr CGFloat kTopInset = 0, kBottomInset = 10.5, kSideInset = 10, kSummaryGap = 4;
  static constexpr CGFloat kThumbnailSize = 36, kThumbnailGap = 8;

  Ref<> initWithFrame(CGRect frame);
  Ref<> primaryText() const;
  void setPrimaryText(id text);
  // Shows the image at the trailing edge (nil removes the thumbnail view).
  void setThumbnail(id image);
  // The summary line under the message (nil: none, the summary label hidden).
  void setSummaryText(id text);
  // The labels, one under the other, each as tall as its text needs at this width, the
  // summary a little apart when it shows.
  void layoutSubviews();
  // The height the texts need at the given width, insets included.
  CGSize sizeThatFits(CGSize size) const;

 private:
  CGFloat labelWidth(CGFloat width) const;
  // The room above the summary: the gap when it has a text, else none.
  CGFloat summaryGap(CGFloat width) const;
  Ref<> primaryLabel_, primarySubtitleLabel_, secondaryLabel_, summaryLabel_, thumbnailImageView_;
};

// NCNotificationShortLookView: the banner or lockscreen card of one notification.
class NCNotificationShortLookView : public PLTitledPlatterView {
 public:
  static inline const rt::ClassOf<NCNotificationShortLookView> cls{"NCNotificationShortLookView"};
  static void bind(ClassBuilder<NCNotificationShortLookView>& b);

  Ref<> initWithFrame(CGRect frame);
  Ref<> backgroundMaterialView() const { return backgroundMaterialView_; }
  Ref<> customContentView() const { return notificationContentView_; }
  // The app icons the card shows (the header's), in order.
  Ref<> icons() const;
  // Fills the card from a notification request: the app's name and icon in the header,
  // "now" as the date, the texts (the title through setPrimaryText:) and the thumbnail.
  void showRequest(id request);
  // The material and shadow fill the card, the header spans its top, the content view
  // fills the main content frame (asked through the runtime).
  void layoutSubviews();
  // The size the card needs: the given width, the header plus what the content needs.
  CGSize sizeThatFitsContentWithSize(CGSize size) const;
  // Lockscreen cards lie flat on the wallpaper: they have no shadow view, so their
  // material is their first subview.
  void removeShadowView();

 private:
  Ref<> backgroundMaterialView_, shadowView_, headerContentView_, notificationContentView_;
};

// NCAuxiliaryOptionsView: the row of option buttons ("Manage", "View", "Clear") under a
// lockscreen notification, 44 points high, on a rounded overlay that fills it.
class NCAuxiliaryOptionsView : public UIView {
 public:
  static inline const rt::ClassOf<NCAuxiliaryOptionsView> cls{"NCAuxiliaryOptionsView"};
  static void bind(ClassBuilder<NCAuxiliaryOptionsView>& b);
  static constexpr CGFloat kHeight = 44;
  Ref<> initWithFrame(CGRect frame);
  // The overlay fills the row; the buttons share its width equally.
  void layoutSubviews();

 private:
  Ref<> overlayView_;
  std::vector<Ref<>> buttons_;
};

// NCNotificationViewController: the controller of one notification. Its associated view
// is set when the notification is shown in the lockscreen list, nil for a banner.
class NCNotificationViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<NCNotificationViewController> cls{"NCNotificationViewController"};
  static void bind(ClassBuilder<NCNotificationViewController>& b);
  Ref<> associatedView() const { return associatedView_.lock(); }
  void setAssociatedView(id view) {
    associatedView_ = view ? view->weak_from_this() : rt::WeakRef<>();
  }

 private:
  rt::WeakRef<> associatedView_;
};

// The container view of a notification controller: the card and over it the stack
// dimming view (a material, shown over the cards behind the first of a collapsed stack,
// so their content does not show through the card in front), both as high as the card
// measures, and below them, on the lockscreen when asked, the options row, 8 points
// down. The container lays the row out within its own layout (`layoutIfNeeded` on it),
// as a host that settles on screen must: a row that changes its own size while laying
// out would otherwise mark the container, whose next layout sets the row back, and the
// two would never come to rest.
class NCNotificationViewControllerView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationViewControllerView> cls{
      "NCNotificationViewControllerView"};
  static void bind(ClassBuilder<NCNotificationViewControllerView>& b);
  Ref<> initWithFrame(CGRect frame);
  void layoutSubviews();
  // Puts the card in, under the dimming view.
  void setContentView(id view);
  // Shows or hides the dimming view over the card.
  void setDimmed(bool dimmed);
  Ref<> contentView() const { return contentView_; }
  void setOptionsView(id view);
  // The card's height at the width (through the runtime), plus the options row.
  CGFloat heightForWidth(CGFloat width) const;

 private:
  CGFloat cardHeight(CGFloat width) const;
  Ref<> stackDimmingView_, contentView_, optionsView_;
};

// The controller of a short-look card. Its view is the container; the card in it is
// what `viewForPreview` answers.
class NCNotificationShortLookViewController : public NCNotificationViewController {
 public:
  static inline const rt::ClassOf<NCNotificationShortLookViewController> cls{
      "NCNotificationShortLookViewController"};
  static void bind(ClassBuilder<NCNotificationShortLookViewController>& b);
  Ref<> initWithNotificationRequest(id request);
  Ref<> notificationRequest() const { return request_; }
  // Builds the container and the card, filled from the request.
  void loadView();
  Ref<> viewForPreview();
  void viewDidLayoutSubviews() {}

 private:
  Ref<> request_;
};

// The host's icon request: 60 x 60 points at the screen's scale, mask radius 13.
SBIconImageInfo iconImageInfo();
// The app's masked icon, through the icon controller, or nil.
Ref<> appIcon(id bundleIdentifier);

// The lockscreen's list of notifications.
class NCNotificationStructuredListViewController : public UIViewController {
 public:
  static inline const rt::ClassOf<NCNotificationStructuredListViewController> cls{
      "NCNotificationStructuredListViewController"};
  static void bind(ClassBuilder<NCNotificationStructuredListViewController>& b);
  // Its view holds the group list views (see notification_list.h).
  void loadView();
  void viewDidLayoutSubviews() {}
};

void defineNotificationViews(ClassList& list);

}  // namespace host
