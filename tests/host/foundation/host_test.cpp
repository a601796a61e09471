// The host model's core: Foundation values, the main queue, notification centres, and
// booting without some classes. (The file manager is tried by the extension's detection
// and the shared-folder finder.)
#include <gtest/gtest.h>

#include "support/host_fixture.h"

#include <filesystem>

#include "host/foundation/darwin_notify.h"
#include "host/foundation/main_queue.h"
#include "host/foundation/notification_center.h"
#include "host/host.h"

using namespace host;
using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

using HostTest = testing_support::HostFixture;

// An observer that counts what it receives.
struct Counter : NSObject {
  int calls = 0;
  Ref<> last;
  void note(id notification) {
    ++calls;
    last = notification ? notification->ref() : nullptr;
  }
};
const rt::Sel<void(id)> kNote{"note:"};

Ref<Counter> makeCounter() {
  static Class cls = nullptr;
  cls = rt::objc_getClass("Counter");
  if (!cls) {
    cls = rt::objc_registerClass("Counter", rt::objc_getClass("NSObject"),
                                 [] { return std::make_shared<Counter>(); });
    rt::bindMethod<&Counter::note>(cls, kNote);
  }
  return std::static_pointer_cast<Counter>(rt::class_createInstance(cls));
}

}  // namespace

TEST_F(HostTest, StringNumberReadingFollowsTheHostRules) {
  // Reals as the colour strings' alpha reads them (their test holds the common forms).
  auto f = [](const char* s) { return rt::send(NSStr(s), sel::floatValue); };
  EXPECT_FLOAT_EQ(f("2e"), 2.0f);  // a dangling exponent is not part of the number
  EXPECT_EQ(f("."), 0.0f);
  EXPECT_EQ(f("1e-50"), 0.0f);  // underflow reads as zero, not as infinity
  EXPECT_EQ(rt::send(NSStr(" -42px"), sel::integerValue), -42);
  EXPECT_TRUE(rt::send(NSStr("  yes"), sel::boolValue));
  EXPECT_TRUE(rt::send(NSStr("007"), sel::boolValue));
  EXPECT_FALSE(rt::send(NSStr("000"), sel::boolValue));
  EXPECT_FALSE(rt::send(NSStr("no"), sel::boolValue));
}

TEST_F(HostTest, MainQueueRunsBlocksInTimeOrderTiesInSchedulingOrder) {
  std::vector<int> order;
  auto q = dispatch_get_main_queue();
  dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 2 * NSEC_PER_SEC), q,
                 [&] { order.push_back(3); });
  dispatch_after(dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC), q, [&] { order.push_back(1); });
  dispatch_after(dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC), q, [&] {
    order.push_back(2);
    // Scheduled from inside a block, still within the window: runs in this advance.
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC / 2), q,
                   [&] { order.push_back(4); });
  });
  EXPECT_EQ(main_queue::advance(NSEC_PER_SEC - 1), 0u);
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(main_queue::advance(NSEC_PER_SEC), 3u);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(main_queue::now(), 2 * NSEC_PER_SEC - 1);
  main_queue::advance(1);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 4, 3}));
  dispatch_async(q, [&] { order.push_back(5); });
  EXPECT_EQ(order.size(), 4u);  // never inside the call that schedules
  main_queue::drain();
  EXPECT_EQ(order.back(), 5);
}

TEST_F(HostTest, NotificationCentreFiltersByNameAndObjectAndHoldsObserversWeakly) {
  Ref<> center = rt::send(rt::objc_getClass("NSNotificationCenter"), sel::defaultCenter);
  auto counter = makeCounter();
  Ref<> sender = make("NSObject");
  rt::send(center, sel::addObserver_selector_name_object, counter, kNote.get(), NSStr("a"), sender);
  rt::send(center, sel::postNotificationName_object, NSStr("a"), nullptr);  // other sender
  rt::send(center, sel::postNotificationName_object, NSStr("b"), sender);   // other name
  EXPECT_EQ(counter->calls, 0);
  rt::send(center, sel::postNotificationName_object, NSStr("a"), sender);
  ASSERT_EQ(counter->calls, 1);
  EXPECT_TRUE(isString(rt::send(counter->last, sel::name).get(), "a"));
  rt::send(center, sel::removeObserver_name_object, counter, NSStr("a"), nullptr);
  rt::send(center, sel::postNotificationName_object, NSStr("a"), sender);
  EXPECT_EQ(counter->calls, 1);

  rt::send(center, sel::addObserver_selector_name_object, counter, kNote.get(), NSStr("a"),
           nullptr);
  rt::WeakRef<> watch = counter;
  counter->last.reset();
  counter.reset();
  EXPECT_TRUE(watch.expired());  // the centre did not keep it alive
  rt::send(center, sel::postNotificationName_object, NSStr("a"), sender);  // and does not crash
}

namespace {
int darwinCalls = 0;
void onDarwin(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) {
  if (isString(name, "com.example/ping")) ++darwinCalls;
}
}  // namespace

TEST_F(HostTest, DarwinPostsDeliverOnTheMainQueueAndCoalesce) {
  darwinCalls = 0;
  auto c = CFNotificationCenterGetDarwinNotifyCenter();
  CFNotificationCenterAddObserver(c, nullptr, &onDarwin, NSStr("com.example/ping").get(), nullptr,
                                  CFNotificationSuspensionBehaviorCoalesce);
  CFNotificationCenterPostNotification(c, NSStr("com.example/ping").get(), nullptr, nullptr, true);
  CFNotificationCenterPostNotification(c, NSStr("com.example/ping").get(), nullptr, nullptr, true);
  EXPECT_EQ(darwinCalls, 0);
  main_queue::drain();
  EXPECT_EQ(darwinCalls, 1);
  CFNotificationCenterPostNotification(c, NSStr("com.example/ping").get(), nullptr, nullptr, true);
  main_queue::drain();
  EXPECT_EQ(darwinCalls, 2);
  CFNotificationCenterPostNotification(c, NSStr("com.example/other").get(), nullptr, nullptr, true);
  main_queue::drain();
  EXPECT_EQ(darwinCalls, 2);
  EXPECT_EQ(darwin_notify::observedNames(), std::vector<std::string>{"com.example/ping"});
}

TEST(HostBoot, AbsentClassesAndTheirSubclassesAreLeftOut) {
  boot({std::filesystem::temp_directory_path(), {"PLTitledPlatterView"}});
  EXPECT_EQ(rt::objc_getClass("PLTitledPlatterView"), nullptr);
  EXPECT_EQ(rt::objc_getClass("NCNotificationShortLookView"), nullptr);
  EXPECT_NE(rt::objc_getClass("PLPlatterView"), nullptr);
  EXPECT_TRUE(skippedClasses().count("NCNotificationShortLookView"));
  // A class message to an absent class answers nil.
  EXPECT_EQ(rt::send(rt::objc_getClass("NCNotificationShortLookView"), sel::new_), nullptr);
  reset();
}
