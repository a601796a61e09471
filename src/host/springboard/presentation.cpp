#include "host/springboard/presentation.h"

#include <map>

#include "host/host.h"
#include "host/springboard/bulletins.h"
#include "host/springboard/media_player.h"

namespace host {
namespace {

struct Presentation {
  Ref<> bannerWindow, lockscreenWindow, listController;
  std::vector<Ref<>> controllers;  // every controller shown, kept alive
  std::map<std::string, Ref<>> stacks;
};
Presentation& presentation() {
  static Presentation p;
  return p;
}

Ref<> makeWindow(const rt::ClassName& cls) {
  const Device& d = device();
  return rt::send(rt::send(cls.get(), sel::alloc), sel::initWithFrame,
                  CGRect{{0, 0}, {d.screenWidth, d.screenHeight}});
}

Ref<> makeController(id request) {
  Ref<> controller =
      rt::send(rt::send(NCNotificationShortLookViewController::cls.get(), sel::alloc),
               sel::initWithNotificationRequest, request);
  if (controller) presentation().controllers.push_back(controller);
  return controller;
}

}  // namespace

void SBBannerWindow::layoutSubviews() {
  const CGFloat w = bounds().size.width - 2 * kInset;
  CGFloat y = kTop;
  for (auto& banner : subviewList()) {
    auto* container = NCNotificationViewControllerView::cls.cast(banner.get());
    const CGFloat h = container ? container->heightForWidth(w) : 0;
    rt::send(banner, sel::setFrame, CGRect{{kInset, y}, {w, h}});
    y += h + kSpacing;
  }
}

void SBCoverSheetWindow::layoutSubviews() {
  const CGRect b = bounds();
  const CGFloat top = kListTop + mediaPlayerSpace();
  for (auto& child : subviewList()) {
    if (CSCoverSheetView::cls.isKind(child.get()))
      rt::send(child, sel::setFrame, b);
    else
      rt::send(child, sel::setFrame, CGRect{{0, top}, {b.size.width, b.size.height - top}});
  }
}

Ref<> presentBanner(id request) {
  Presentation& p = presentation();
  if (!p.bannerWindow) p.bannerWindow = makeWindow(SBBannerWindow::cls);
  Ref<> controller = makeController(request);
  rt::send(p.bannerWindow, sel::addSubview, rt::send(controller, sel::view));
  return controller;
}

Ref<> lockscreenListController() {
  Presentation& p = presentation();
  if (!p.listController) {
    if (!p.lockscreenWindow) p.lockscreenWindow = makeWindow(SBCoverSheetWindow::cls);
    p.listController = rt::send(NCNotificationStructuredListViewController::cls.get(), sel::new_);
    rt::send(p.lockscreenWindow, sel::addSubview, rt::send(p.listController, sel::view));
  }
  return p.listController;
}

Ref<> showOnLockscreen(id request, const std::string& stack, bool options) {
  Presentation& p = presentation();
  Ref<> listView = rt::send(lockscreenListController(), sel::view);
  Ref<> controller = makeController(request);
  Ref<> cell = rt::send(NCNotificationListCell::cls.get(), sel::new_);
  // Associated before its view loads, so the card is filled knowing where it is shown.
  rt::send(controller, sel::setAssociatedView, cell);
  // A notification without a stack name stands alone.
  std::string key = stack;
  if (key.empty()) key = std::string(1, '#').append(std::to_string(p.stacks.size()));
  Ref<>& group = p.stacks[key];
  if (!group) {
    group = rt::send(NCNotificationListView::cls.get(), sel::new_);
    rt::send(listView, sel::addSubview, group);
  }
  Ref<> view = rt::send(controller, sel::view);
  if (auto* container = NCNotificationViewControllerView::cls.cast(view.get());
      container && options)
    container->setOptionsView(rt::send(NCAuxiliaryOptionsView::cls.get(), sel::new_).get());
  if (auto* listCell = NCNotificationListCell::cls.cast(cell.get());
      listCell && listCell->cellView())
    listCell->cellView()->setContent(view.get());
  if (auto* list = NCNotificationListView::cls.cast(group.get())) list->appendCell(cell.get());
  return controller;
}

Ref<> bannerWindow() {
  return presentation().bannerWindow;
}
Ref<> lockscreenWindow() {
  return presentation().lockscreenWindow;
}

Ref<> showLockscreenWindow() {
  Presentation& p = presentation();
  if (!p.lockscreenWindow) p.lockscreenWindow = makeWindow(SBCoverSheetWindow::cls);
  rt::send(p.lockscreenWindow, sel::setHidden, false);
  return p.lockscreenWindow;
}

void lockDevice() {
  if (auto* banners = UIView::cls.cast(presentation().bannerWindow.get()))
    for (const Ref<UIView>& banner : std::vector<Ref<UIView>>(banners->subviewList()))
      rt::send(banner, sel::removeFromSuperview);
  setDeviceLocked(true);
  showLockscreenWindow();
  // The list is there to take what arrives while locked, the waiting bulletins first.
  lockscreenListController();
  bulletinsAfterLock();
  showCoverSheet();
}

void unlockDevice() {
  setDeviceLocked(false);
  hideCoverSheet();
  rt::send(presentation().lockscreenWindow, sel::setHidden, true);
}

void SBBannerWindow::bind(ClassBuilder<SBBannerWindow>& b) {
  b.method<&SBBannerWindow::layoutSubviews>(sel::layoutSubviews);
}

void SBCoverSheetWindow::bind(ClassBuilder<SBCoverSheetWindow>& b) {
  b.method<&SBCoverSheetWindow::layoutSubviews>(sel::layoutSubviews);
}

void definePresentation(ClassList& list) {
  list.define<SBBannerWindow>(UIWindow::cls);
  list.define<SBCoverSheetWindow>(UIWindow::cls);
}

void resetPresentation() {
  presentation() = {};
}

}  // namespace host
