// The view tree: subviews, windows and controllers.
#include "host/uikit/view.h"
#include "host/springboard/notification_views.h"
#include "support/host_fixture.h"

using namespace host;
using rt::SEL;
using ViewTest = testing_support::HostFixture;

TEST_F(ViewTest, AViewCannotBeInsertedIntoItselfOrItsDescendants) {
  Ref<> top = make("UIView"), middle = make("UIView"), leaf = make("UIView");
  rt::send(top, sel::addSubview, middle);
  rt::send(middle, sel::addSubview, leaf);
  rt::send(leaf, sel::addSubview, top);  // would close a loop
  rt::send(middle, sel::addSubview, middle);
  EXPECT_EQ(rt::send(top, sel::superview), nullptr);
  EXPECT_EQ(rt::send(rt::send(leaf, sel::subviews), sel::count), 0u);
  EXPECT_EQ(rt::send(rt::send(middle, sel::subviews), sel::count), 1u);
  EXPECT_EQ(rt::send(leaf, sel::window), nullptr);  // terminates
}

TEST_F(ViewTest, MovingIntoAWindowTellsTheWholeSubtree) {
  static int moves = 0;
  moves = 0;
  rt::ImpFor<void> counting = [](id, SEL) { ++moves; };
  static rt::ImpFor<void> original = nullptr;
  rt::MSHookMessageEx(rt::objc_getClass("UIView"), sel::didMoveToWindow, counting, &original);
  Ref<> window = make("UIWindow"), parent = make("UIView"), child = make("UIView");
  rt::send(parent, sel::addSubview, child);
  EXPECT_EQ(moves, 0);
  rt::send(window, sel::addSubview, parent);
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(rt::send(child, sel::window), window);
  rt::send(parent, sel::removeFromSuperview);
  EXPECT_EQ(moves, 4);
  EXPECT_EQ(rt::send(child, sel::window), nullptr);
}
