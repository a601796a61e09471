#include "host/springboard/notification_list.h"

#include <algorithm>
#include <string>

namespace host {
namespace {

// The notification content view of the card a list cell shows, or nil.
Ref<> cardContentView(id cell) {
  auto* listCell = NCNotificationListCell::cls.cast(cell);
  auto* container = NCNotificationViewControllerView::cls.cast(
      listCell && listCell->cellView() ? listCell->cellView()->contentView().get() : nullptr);
  return container ? rt::send(container->contentView(), sel::customContentView) : nullptr;
}

}  // namespace

// ---- Cell content

void NCNotificationListCellView::setContent(id controllerView) {
  contentView_ = controllerView ? controllerView->ref() : nullptr;
  addSubview(controllerView);
}

CGFloat NCNotificationListCellView::heightForWidth(CGFloat width) const {
  auto* container = NCNotificationViewControllerView::cls.cast(contentView_.get());
  return container ? container->heightForWidth(width) : 0;
}

void NCNotificationListCellView::layoutSubviews() {
  rt::send(contentView_, sel::setFrame, bounds());
}

// ---- Cell

Ref<> NCNotificationListCell::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  notificationCellView_ = rt::send(NCNotificationListCellView::cls.get(), sel::new_);
  addSubview(notificationCellView_.get());
  return ref();
}

NCNotificationListCellView* NCNotificationListCell::cellView() const {
  return NCNotificationListCellView::cls.cast(notificationCellView_.get());
}

void NCNotificationListCell::layoutSubviews() {
  rt::send(notificationCellView_, sel::setFrame, bounds());
}

// ---- Group list

void NCNotificationListView::appendCell(id cell) {
  if (!NCNotificationListCell::cls.isKind(cell)) return;
  cells_.push_back(cell->ref());
  insertSubview(cell, 0);  // behind the cells before it
  updateSummaries();
}

void NCNotificationListView::updateSummaries() {
  for (size_t i = 0; i < cells_.size(); ++i) {
    Ref<> text;
    if (i == 0 && isGrouped()) {
      const size_t more = cells_.size() - 1;
      text =
          NSStr(std::to_string(more) + (more == 1 ? " more notification" : " more notifications"));
    }
    rt::send(cardContentView(cells_[i].get()), sel::setSummaryText, text);
  }
}

Ref<> NCNotificationListView::visibleViewAtIndex(uint64_t index) const {
  return index < cells_.size() ? cells_[index] : nullptr;
}

void NCNotificationListView::setGrouped(bool grouped) {
  grouped_ = grouped;
  updateSummaries();
  setNeedsLayout();
  if (UIView* parent = superviewPointer()) parent->setNeedsLayout();
}

CGFloat NCNotificationListView::heightForWidth(CGFloat width) const {
  CGFloat height = 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    auto* cell = NCNotificationListCell::cls.cast(cells_[i].get());
    const CGFloat h = cell && cell->cellView() ? cell->cellView()->heightForWidth(width) : 0;
    if (isGrouped())
      return h + kPeek * static_cast<CGFloat>(std::min(cells_.size() - 1, kPeekingCards));
    height += (i ? 8 : 0) + h;
  }
  return height;
}

void NCNotificationListView::layoutSubviews() {
  const CGFloat w = bounds().size.width;
  CGFloat y = 0, firstHeight = 0;
  for (size_t i = 0; i < cells_.size(); ++i) {
    auto* cell = NCNotificationListCell::cls.cast(cells_[i].get());
    const CGFloat h = cell && cell->cellView() ? cell->cellView()->heightForWidth(w) : 0;
    // The cards behind the first of a collapsed stack are dimmed.
    if (auto* container = NCNotificationViewControllerView::cls.cast(
            cell && cell->cellView() ? cell->cellView()->contentView().get() : nullptr))
      container->setDimmed(isGrouped() && i > 0);
    if (!isGrouped()) {
      rt::send(cells_[i], sel::setFrame, CGRect{{0, y}, {w, h}});
      y += h + 8;
      continue;
    }
    if (i == 0) firstHeight = h;
    // Behind the first card: peeking out below it, narrower, as tall as the first.
    const auto step = static_cast<CGFloat>(std::min(i, kPeekingCards));
    rt::send(cells_[i], sel::setFrame,
             CGRect{{kPeek * step, kPeek * step},
                    {std::max<CGFloat>(w - 2 * kPeek * step, 0), firstHeight}});
    rt::send(cells_[i], sel::setHidden, i > kPeekingCards);
  }
}

// ---- The list

void NCNotificationStructuredListViewController::loadView() {
  setView(rt::send(NCNotificationListContainerView::cls.get(), sel::new_).get());
}

void NCNotificationListContainerView::layoutSubviews() {
  const CGFloat w = std::max<CGFloat>(bounds().size.width - 2 * kInset, 0);
  CGFloat y = 0;
  for (auto& group : subviewList()) {
    auto* list = NCNotificationListView::cls.cast(group.get());
    const CGFloat h = list ? list->heightForWidth(w) : 0;
    rt::send(group, sel::setFrame, CGRect{{kInset, y}, {w, h}});
    y += h + kSpacing;
  }
}

void NCNotificationListCellView::bind(ClassBuilder<NCNotificationListCellView>& b) {
  b.method<&NCNotificationListCellView::contentView>(sel::contentView)
      .method<&NCNotificationListCellView::layoutSubviews>(sel::layoutSubviews);
}

void NCNotificationListCell::bind(ClassBuilder<NCNotificationListCell>& b) {
  b.method<&NCNotificationListCell::initWithFrame>(sel::initWithFrame)
      .method<&NCNotificationListCell::layoutSubviews>(sel::layoutSubviews)
      .method<&NCNotificationListCell::notificationCellView>(sel::_notificationCellView)
      .ivar<&NCNotificationListCell::notificationCellView_>("_notificationCellView");
}

void NCNotificationListView::bind(ClassBuilder<NCNotificationListView>& b) {
  b.method<&NCNotificationListView::visibleViewAtIndex>(sel::_visibleViewAtIndex)
      .method<&NCNotificationListView::isGrouped>(sel::isGrouped)
      .method<&NCNotificationListView::layoutSubviews>(sel::layoutSubviews);
}

void NCNotificationListContainerView::bind(ClassBuilder<NCNotificationListContainerView>& b) {
  b.method<&NCNotificationListContainerView::layoutSubviews>(sel::layoutSubviews);
}

void defineNotificationList(ClassList& list) {
  list.define<NCNotificationListCellView>(UIView::cls);
  list.define<NCNotificationListCell>(UIView::cls);
  list.define<NCNotificationListView>(UIView::cls);
  list.define<NCNotificationListContainerView>(UIView::cls);
}

}  // namespace host
