// The lockscreen's notification list as the host nests it: the list controller's view
// holds one group list view (NCNotificationListView) per stack, each holding its cells
// (NCNotificationListCell) in order; a cell's `_notificationCellView` answers the
// notification controller's view as its `contentView`, and the cell is that
// controller's `associatedView`.
//
// Geometry, the model's choice: the list starts 8 points in from each side of the
// screen and groups are 8 points apart. Each cell is as high as its card says
// (`sizeThatFitsContentWithSize:` through the runtime, so a replacement is heard), plus
// 8 points and the 44-point options row, inside the controller's view, when the
// notification shows options. A stack of
// two or more starts collapsed (`isGrouped`): the first card in front, up to two more
// peeking out 8 points each below it, each 8 points narrower on both sides per step,
// and dimmed. The front card of a collapsed stack says how many more it holds in its
// summary line ("1 more notification", "2 more notifications"), which makes it, and the
// cards behind, taller; expanded or alone, no card has a summary.
#pragma once

#include <vector>

#include "host/springboard/notification_views.h"

namespace host {

// The view inside a cell that holds the notification controller's view, filling it.
class NCNotificationListCellView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationListCellView> cls{"NCNotificationListCellView"};
  static void bind(ClassBuilder<NCNotificationListCellView>& b);
  Ref<> contentView() const { return contentView_; }
  void setContent(id controllerView);
  // What the controller's view needs at the width (card and options row).
  CGFloat heightForWidth(CGFloat width) const;
  void layoutSubviews();

 private:
  Ref<> contentView_;
};

class NCNotificationListCell : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationListCell> cls{"NCNotificationListCell"};
  static void bind(ClassBuilder<NCNotificationListCell>& b);
  Ref<> initWithFrame(CGRect frame);
  Ref<> notificationCellView() const { return notificationCellView_; }
  NCNotificationListCellView* cellView() const;
  void layoutSubviews();

 private:
  Ref<> notificationCellView_;
};

class NCNotificationListView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationListView> cls{"NCNotificationListView"};
  static void bind(ClassBuilder<NCNotificationListView>& b);
  static constexpr CGFloat kPeek = 8;
  static constexpr size_t kPeekingCards = 2;

  // Adds a cell at the end of the stack (drawn behind the ones before it).
  void appendCell(id cell);
  Ref<> visibleViewAtIndex(uint64_t index) const;
  bool isGrouped() const { return grouped_ && cells_.size() > 1; }
  void setGrouped(bool grouped);
  CGFloat heightForWidth(CGFloat width) const;
  void layoutSubviews();

 private:
  // Gives the front card of a collapsed stack its summary, and takes it from every other.
  void updateSummaries();
  std::vector<Ref<>> cells_;
  bool grouped_ = true;
};

// The list controller's view: the group list views one under the other.
class NCNotificationListContainerView : public UIView {
 public:
  static inline const rt::ClassOf<NCNotificationListContainerView> cls{
      "NCNotificationListContainerView"};
  static void bind(ClassBuilder<NCNotificationListContainerView>& b);
  static constexpr CGFloat kInset = 8, kSpacing = 8;
  void layoutSubviews();
};

void defineNotificationList(ClassList& list);

}  // namespace host
