// The notification views and controllers of the home screen. Each view builds its own
// subviews when it is made (`initWithFrame:`), publishes them under the host's instance
// variable names, and lays them out in `layoutSubviews` from its own bounds.
//
// Geometry, the model's choice after the host: a card is 359 points wide; its header
// strip is 24 points high (icon 20 x 20 at x 10, the title after the icon plus
// `_iconTrailingPadding` of 8, the date label at the trailing edge, 10 points in); the
// content below it has 5-point insets above and below and 10 at the sides, the title in
// bold 15 points on one line, the message in 15 points on up to four lines; a thumbnail
// of 36 x 36 sits at the content's trailing edge and the labels end 8 points before it.
// A card with a one-line title and a one-line message is 70 points high. In a
// right-to-left layout every frame is mirrored within its superview.
#pragma once

#include <vector>

#include "host/springboard/springboard_selectors.h"
#include "host/uikit/label.h"
#include "host/uikit/view_controller.h"

namespace host {

// PLPlatterView: the rounded card behind notifications and widgets.
class PLPlatterView : public UIView {
 public:
  static inline const rt::ClassOf<PLPlatterView> cls{"PLPlatterView"};
};

// PLTitledPlatterView: a card with a header strip above its main content.
class PLTitledPlatterView : public PLPlatterView {
 public:
  static inline const rt::ClassOf<PLTitledPlatterView> cls{"PLTitledPlatterView"};
  static void bind(ClassBuilder<PLTitledPlatterView>& b);
  static constexpr CGFloat kHeaderHeight = 24;
  // The content area: the bounds below the header strip.
  CGRect mainContentFrame() const;
};

// PLPlatterHeaderContentView: the header strip (icon button, title, date).
class PLPlatterHeaderContentView : public UIView {
 public:
  static inline const rt::ClassOf<PLPlatterHeaderContentView> cls{"PLPlatterHeaderContentView"};
  static void bind(ClassBuilder<PLPlatterHeaderContentView>& b);
  static constexpr CGFloat kIconSize = 20, kInset = 10;

  Ref<> initWithFrame(CGRect frame);
  // The buttons showing the app's icons: one, holding the app icon as its image.
  Ref<> iconButtons() const;
  // The room between the icon and the title, in points.
  CGFloat iconTrailingPadding() const { return 8; }
  // Title after the icon and the padding (asked through the runtime), date label at the
  // trailing edge (placed with setFrame: through the runtime).
  void layoutSubviews();

 private:
  Ref<> iconButton_, titleLabel_, dateLabel_;
};

// BSUIDefaultDateLabel: the header's relative date ("now", "2m ago").
class BSUIDefaultDateLabel : public UILabel {
 public:
  static inline const rt::ClassOf<BSUIDefaultDateLabel> cls{"BSUIDefaultDateLabel"};
};

// NCNotificationContentView: the primary (title), subtitle, secondary (message) and
// summary texts, stacked.
class NCNotificationContentView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationContentView> cls{"NCNotificationContentView"};
  static void bind(ClassBuilder<NCNotificationContentView>& b);
  static constexpr CGFloat kInset = 5, kSideInset = 10;

  static constexpr CGFloat kThumbnailSize = 36, kThumbnailGap = 8;

  Ref<> initWithFrame(CGRect frame);
  Ref<> primaryText() const;
  void setPrimaryText(id text);
  // Shows the image at the trailing edge (nil removes the thumbnail view).
  void setThumbnail(id image);
  // The labels, one under the other, each as tall as its text needs at this width.
  void layoutSubviews();
  // The height the texts need at the given width, insets included.
  CGSize sizeThatFits(CGSize size) const;

 private:
  CGFloat labelWidth(CGFloat width) const;
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

// The frame mirrored within a container of the given width when the device lays out
// right to left; unchanged otherwise.
CGRect mirroredForLayoutDirection(CGRect frame, CGFloat containerWidth);
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
