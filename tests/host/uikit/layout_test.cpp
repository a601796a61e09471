// Layout as the host runs it: what marks a view, when the marked views lay out, in which
// order, and how often.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/uikit/view_controller.h"
#include "support/host_fixture.h"

using namespace host;
using rt::CGRectMake;

namespace {

std::vector<std::string> events;

// A view that records its layouts and may act while laying out.
struct CountingView : UIView {
  static inline const rt::ClassOf<CountingView> cls{"CountingView"};
  std::string name;
  int layouts = 0;
  std::function<void(CountingView&)> onLayout;
  void layoutSubviews() {
    ++layouts;
    events.push_back(name);
    if (onLayout) onLayout(*this);
  }
};

struct CountingController : UIViewController {
  static inline const rt::ClassOf<CountingController> cls{"CountingController"};
  int didLayout = 0;
  void viewDidLayoutSubviews() {
    ++didLayout;
    events.push_back("controller");
  }
};

class LayoutTest : public testing_support::HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    events.clear();
    rt::Class view = rt::objc_registerClass("CountingView", UIView::cls.get(),
                                            [] { return std::make_shared<CountingView>(); });
    rt::bindMethod<&CountingView::layoutSubviews>(view, sel::layoutSubviews);
    rt::Class controller =
        rt::objc_registerClass("CountingController", UIViewController::cls.get(),
                               [] { return std::make_shared<CountingController>(); });
    rt::bindMethod<&CountingController::viewDidLayoutSubviews>(controller,
                                                               sel::viewDidLayoutSubviews);
    window = rt::send(rt::send(UIWindow::cls.get(), sel::alloc), sel::initWithFrame,
                      CGRectMake(0, 0, 375, 812));
    // Nothing is marked at the start of each test.
    main_queue::drain();
  }
  Ref<CountingView> counting(const char* name, id parent) {
    auto v = std::static_pointer_cast<CountingView>(rt::send(CountingView::cls.get(), sel::new_));
    v->name = name;
    rt::send(parent, sel::addSubview, v);
    return v;
  }
  // One turn of the run loop: the batch ends and the windows lay out.
  void commit() { main_queue::drain(); }

  Ref<> window;
};

}  // namespace

TEST_F(LayoutTest, ASizeChangeOrASubviewMarksTheSuperviewAndAMoveMarksNothing) {
  auto parent = counting("parent", window.get());
  auto child = counting("child", parent.get());
  commit();
  parent->layouts = child->layouts = 0;

  rt::send(child, sel::setFrame, CGRectMake(5, 5, 0, 0));  // a move only: same size
  commit();
  EXPECT_EQ(parent->layouts + child->layouts, 0);

  rt::send(child, sel::setFrame, CGRectMake(5, 5, 40, 30));
  commit();
  EXPECT_EQ(parent->layouts, 1);
  EXPECT_EQ(child->layouts, 1);
  commit();  // marks are cleared: nothing more
  EXPECT_EQ(parent->layouts, 1);
  EXPECT_EQ(child->layouts, 1);
  // Adding or removing a subview marks the parent.
  Ref<> plain = rt::send(UIView::cls.get(), sel::new_);
  rt::send(parent, sel::addSubview, plain);
  commit();
  rt::send(plain, sel::removeFromSuperview);
  commit();
  EXPECT_EQ(parent->layouts, 3);
}

TEST_F(LayoutTest, WindowsLayOutParentFirstThenTheControllerThenChildren) {
  auto controller = std::static_pointer_cast<CountingController>(
      rt::send(CountingController::cls.get(), sel::new_));
  auto parent = counting("parent", window.get());
  controller->setView(parent.get());
  counting("child", parent.get());
  events.clear();
  commit();
  EXPECT_EQ(events, (std::vector<std::string>{"parent", "controller", "child"}));
  EXPECT_EQ(controller->didLayout, 1);
}

TEST_F(LayoutTest, AViewThatResizesItselfWhileLayingOutIsNotLaidOutAgainForIt) {
  auto view = counting("view", window.get());
  view->onLayout = [](CountingView& self) {
    const CGRect f = self.frame();
    rt::send(&self, sel::setFrame, CGRect{f.origin, {f.size.width + 1, 10}});
  };
  commit();
  EXPECT_EQ(view->layouts, 1);
  commit();  // its own mark went when its layout returned; only the window's is left
  EXPECT_EQ(view->layouts, 1);
}

// A child that narrows itself under a parent that sets it back: each pass asks for the
// next, with nothing changed from outside. The host says so at once, within one turn of
// the run loop, rather than spinning or waiting for a timer to show it.
TEST_F(LayoutTest, ALayoutThatNeverSettlesIsReportedAndOneThatSettlesIsNot) {
  auto parent = counting("parent", window.get());
  auto child = counting("child", parent.get());
  child->onLayout = [](CountingView& self) {
    if (self.frame().size.width > 50) rt::send(&self, sel::setFrame, CGRectMake(0, 0, 50, 10));
  };
  parent->onLayout = [&](CountingView&) {
    rt::send(child, sel::setFrame, CGRectMake(0, 0, child->frame().size.width + 1, 10));
  };
  commit();
  EXPECT_TRUE(layoutLoops().empty());  // one grow and one narrowing, then rest
  EXPECT_LE(parent->layouts, 3);
  // Layouts asked for from outside, however many, are no loop.
  for (size_t i = 0; i < 2 * kLayoutLoopPasses; ++i) {
    rt::send(parent, sel::setNeedsLayout);
    commit();
  }
  EXPECT_TRUE(layoutLoops().empty());

  parent->onLayout = [&](CountingView&) {
    rt::send(child, sel::setFrame, CGRectMake(0, 0, 100, 10));
  };
  rt::send(parent, sel::setNeedsLayout);
  commit();
  ASSERT_EQ(layoutLoops().size(), 1u);
  EXPECT_EQ(layoutLoops()[0].passes, kLayoutLoopPasses);
  EXPECT_EQ(layoutLoops()[0].views, (std::vector<std::string>{"CountingView", "CountingView"}));
  EXPECT_GE(parent->layouts, static_cast<int>(kLayoutLoopPasses));
  EXPECT_EQ(main_queue::nextDueTime(), std::nullopt);  // the clock is free to go on
}
