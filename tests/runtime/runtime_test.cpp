#include <gtest/gtest.h>

#include "runtime/runtime.h"

using namespace rt;

namespace {

// An instance of cls through its factory, as `alloc` makes one; nil for a null class.
template <class T>
Ref<T> construct(Class cls) {
  return std::static_pointer_cast<T>(class_createInstance(cls));
}

// A tiny host: Base and Derived, backed by C++ classes with a counter each.
struct Base : Object {
  int64_t value = 7;
  int layouts = 0;
  int64_t number() const { return value; }
  void layout() { ++layouts; }
  CGRect rect(CGFloat inset) const { return CGRectMake(inset, inset, 100 - inset, 50 - inset); }
};
struct Derived : Base {};

const Sel<int64_t()> kNumber{"number"};
const Sel<void()> kLayout{"layout"};
const Sel<CGRect(CGFloat)> kRect{"rectWithInset:"};
const Sel<bool()> kFlag{"flag"};
const Sel<double()> kReal{"real"};
const Sel<float()> kSingle{"single"};
const Sel<CGPoint()> kPoint{"point"};
const Sel<CGSize()> kSize{"size"};
const Sel<Ref<>()> kObject{"object"};
const Sel<int64_t(int64_t)> kPlus{"plus:"};

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = objc_registerClass("Base", nullptr, [] { return std::make_shared<Base>(); });
    derived = objc_registerClass("Derived", base, [] { return std::make_shared<Derived>(); });
    bindMethod<&Base::number>(base, kNumber);
    bindMethod<&Base::layout>(base, kLayout);
    bindMethod<&Base::rect>(base, kRect);
  }
  void TearDown() override { objc_disposeAllClasses(); }
  Class base = nullptr, derived = nullptr;
};

ImpFor<int64_t> originalNumber = nullptr;
int64_t doubledNumber(id self, SEL cmd) {
  return originalNumber(self, cmd) * 2;
}
ImpFor<int64_t> originalNumber2 = nullptr;
int64_t plusOneNumber(id self, SEL cmd) {
  return originalNumber2(self, cmd) + 1;
}

}  // namespace

TEST_F(RuntimeTest, NilReceiverAnswersZeroOfEveryResultKind) {
  id nothing = nullptr;
  EXPECT_EQ(send(nothing, kFlag), false);
  EXPECT_EQ(send(nothing, kNumber), 0);
  EXPECT_EQ(send(nothing, kReal), 0.0);
  EXPECT_EQ(send(nothing, kSingle), 0.0f);
  EXPECT_EQ(send(nothing, kPoint), CGPoint{});
  EXPECT_EQ(send(nothing, kSize), CGSize{});
  EXPECT_EQ(send(nothing, kRect, 3.0), CGRectZero);
  EXPECT_EQ(send(nothing, kObject), nullptr);
  send(nothing, kLayout);  // does nothing, does not throw
  Ref<Base> none;
  EXPECT_EQ(send(none, kNumber), 0);
}

TEST_F(RuntimeTest, UnknownSelectorAndWrongSignatureAreProgrammingErrors) {
  auto b = construct<Base>(base);
  EXPECT_THROW(send(b, kFlag), ProgrammingError);
  const Sel<double()> wrong{"number"};  // same name, other result type
  EXPECT_THROW(send(b, wrong), ProgrammingError);
  EXPECT_THROW(class_addMethod(
                   base, kPlus, +[](id, SEL, int64_t x) { return x; }, "q@:d"),
               ProgrammingError);
}

TEST_F(RuntimeTest, ReplacementSavesPreviousAndTheNewCodeRuns) {
  auto b = construct<Base>(base);
  EXPECT_EQ(send(b, kNumber), 7);  // warm the cache: replacement must still be seen
  MSHookMessageEx(base, kNumber, &doubledNumber, &originalNumber);
  ASSERT_NE(originalNumber, nullptr);
  EXPECT_EQ(send(b, kNumber), 14);
  EXPECT_EQ(originalNumber(b.get(), kNumber), 7);
}

TEST_F(RuntimeTest, HookingTwiceNeverMakesAHookItsOwnOriginal) {
  auto b = construct<Base>(base);
  originalNumber = nullptr;
  MSHookMessageEx(base, kNumber, &doubledNumber, &originalNumber);
  MSHookMessageEx(base, kNumber, &doubledNumber, &originalNumber);
  EXPECT_EQ(send(b, kNumber), 14);  // would recurse forever if the slot held the hook
  // A later, different hook wins and chains to the earlier one.
  MSHookMessageEx(base, kNumber, &plusOneNumber, &originalNumber2);
  EXPECT_EQ(send(b, kNumber), 15);
}

TEST_F(RuntimeTest, ReplacingAnInheritedMethodOverridesOnlyTheSubclass) {
  auto b = construct<Base>(base);
  auto d = construct<Derived>(derived);
  EXPECT_EQ(send(d, kNumber), 7);  // cached from Base before the override exists
  MSHookMessageEx(derived, kNumber, &doubledNumber, &originalNumber);
  EXPECT_EQ(send(d, kNumber), 14);
  EXPECT_EQ(send(b, kNumber), 7);
  EXPECT_EQ(originalNumber(d.get(), kNumber), 7);
  EXPECT_NE(class_getOwnMethod(derived, kNumber.get()), nullptr);
}

TEST_F(RuntimeTest, AbsentClassOrMethodMakesHookingInert) {
  ImpFor<int64_t> slot = nullptr;
  MSHookMessageEx(objc_getClass("NoSuchClass"), kNumber, &doubledNumber, &slot);
  EXPECT_EQ(slot, nullptr);
  const Sel<int64_t()> missing{"missingNumber"};
  MSHookMessageEx(base, missing, &doubledNumber, &slot);
  EXPECT_EQ(slot, nullptr);
  EXPECT_FALSE(respondsToSelector(construct<Base>(base).get(), missing));
  EXPECT_EQ(construct<Base>(objc_getClass("NoSuchClass")), nullptr);
}

TEST_F(RuntimeTest, AddMethodNeverReplacesButMayShadowInherited) {
  auto d = construct<Derived>(derived);
  auto seven = +[](id, SEL) -> int64_t { return 70; };
  EXPECT_FALSE(class_addMethod(base, kNumber, seven, "q@:"));
  EXPECT_EQ(send(d, kNumber), 7);
  EXPECT_TRUE(class_addMethod(derived, kNumber, seven, "q@:"));
  EXPECT_EQ(send(d, kNumber), 70);  // the cached inherited entry was dropped
  EXPECT_FALSE(class_addMethod(nullptr, kNumber, seven, "q@:"));
  EXPECT_TRUE(class_addMethod(
      base, kPlus, +[](id, SEL, int64_t x) { return x + 1; }, "q@:q"));
  EXPECT_EQ(send(d, kPlus, int64_t{41}), 42);
}

TEST_F(RuntimeTest, SuperSendReachesTheSuperclassImplementation) {
  auto d = construct<Derived>(derived);
  class_addMethod(
      derived, kNumber,
      +[](id self, SEL) -> int64_t {
        return sendSuper(objc_getClass("Derived"), self, kNumber) + 100;
      },
      "q@:");
  EXPECT_EQ(send(d, kNumber), 107);
}

TEST_F(RuntimeTest, RetainedAssociationKeepsValueAliveAndNilRemovesIt) {
  static const char key = 0, other = 0;
  auto owner = construct<Base>(base);
  WeakRef<> watch;
  {
    auto value = construct<Base>(base);
    watch = value;
    objc_setAssociatedObject(owner.get(), &key, value.get(), AssociationPolicy::RetainNonatomic);
  }
  EXPECT_FALSE(watch.expired());
  EXPECT_EQ(objc_getAssociatedObject(owner.get(), &key), watch.lock());
  EXPECT_EQ(objc_getAssociatedObject(owner.get(), &other), nullptr);
  objc_setAssociatedObject(owner.get(), &key, nullptr, AssociationPolicy::RetainNonatomic);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(objc_getAssociatedObject(owner.get(), &key), nullptr);
  // Associations die with their owner.
  auto value = construct<Base>(base);
  watch = value;
  objc_setAssociatedObject(owner.get(), &key, value.get(), AssociationPolicy::RetainNonatomic);
  value.reset();
  owner.reset();
  EXPECT_TRUE(watch.expired());
}

TEST_F(RuntimeTest, AssignedAssociationDoesNotRetainAndAnswersNilWhenDead) {
  static const char key = 0;
  auto owner = construct<Base>(base);
  auto value = construct<Base>(base);
  objc_setAssociatedObject(owner.get(), &key, value.get(), AssociationPolicy::Assign);
  EXPECT_EQ(objc_getAssociatedObject(owner.get(), &key), value);
  value.reset();
  EXPECT_EQ(objc_getAssociatedObject(owner.get(), &key), nullptr);
}

TEST_F(RuntimeTest, ResetUnregistersClassesAndReusesRecords) {
  auto b = construct<Base>(base);
  objc_disposeAllClasses();
  EXPECT_EQ(objc_getClass("Base"), nullptr);
  Class again = objc_registerClass("Base", nullptr);
  EXPECT_EQ(again, b->isa());  // an object from before still has a valid class
  EXPECT_FALSE(class_respondsToSelector(again, kNumber.get()));
  EXPECT_EQ(objc_registerClass("Base", nullptr), nullptr);  // a name registers once
  base = derived = nullptr;
}

TEST_F(RuntimeTest, KeysFollowTheChainSubclassesHideTheirSuperclassAndUnknownKeysAnswerNil) {
  auto d = construct<Derived>(derived);
  auto other = construct<Base>(base);
  class_addKey(base, "_self", [](id self) { return self->ref(); });
  class_addKey(base, "_alias", [](id self) { return self->ref(); });
  class_addKey(base, "_other", [other](id) -> Ref<> { return other; });
  // The subclass's "_alias" answers another object, hiding the superclass's.
  class_addKey(derived, "_alias", [other](id) -> Ref<> { return other; });
  EXPECT_EQ(object_keysHolding(d.get(), d.get()), std::vector<std::string>{"_self"});
  EXPECT_EQ(object_keysHolding(d.get(), other.get()),
            (std::vector<std::string>{"_alias", "_other"}));
  EXPECT_TRUE(object_keysHolding(d.get(), nullptr).empty());
  EXPECT_TRUE(object_keysHolding(nullptr, d.get()).empty());
  EXPECT_EQ(object_valueForKey(d.get(), "_alias"), other);
  EXPECT_EQ(object_valueForKey(d.get(), "_missing"), nullptr);
  EXPECT_EQ(object_valueForKey(nullptr, "_self"), nullptr);
}
