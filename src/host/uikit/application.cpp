#include "host/uikit/application.h"

#include "host/host.h"

namespace host {
namespace {

struct Shared {
  Ref<> application, screen;
};
Shared& shared() {
  static Shared s;
  return s;
}

}  // namespace

int64_t deviceInterfaceStyle() {
  return static_cast<int64_t>(device().interfaceStyle);
}

int64_t UIApplication::userInterfaceLayoutDirection() const {
  return static_cast<int64_t>(device().layoutDirection);
}

rt::CGFloat UIScreen::scale() const {
  return device().screenScale;
}

rt::CGRect UIScreen::bounds() const {
  return {{0, 0}, {device().screenWidth, device().screenHeight}};
}

void UIApplication::bind(ClassBuilder<UIApplication>& b) {
  b.classFunction(
       sel::sharedApplication,
       +[](id, rt::SEL) -> Ref<> {
         auto& a = shared().application;
         if (!a) a = UIApplication::cls.make();
         return a;
       })
      .method<&UIApplication::userInterfaceLayoutDirection>(sel::userInterfaceLayoutDirection);
}

void UIScreen::bind(ClassBuilder<UIScreen>& b) {
  b.classFunction(
       sel::mainScreen,
       +[](id, rt::SEL) -> Ref<> {
         auto& s = shared().screen;
         if (!s) s = UIScreen::cls.make();
         return s;
       })
      .method<&UIScreen::scale>(sel::scale)
      .method<&UIScreen::bounds>(sel::bounds);
}

void UITraitCollection::bind(ClassBuilder<UITraitCollection>& b) {
  b.method<&UITraitCollection::userInterfaceStyle>(sel::userInterfaceStyle);
}

void defineApplication(ClassList& list) {
  list.define<UIApplication>(NSObject::cls);
  list.define<UIScreen>(NSObject::cls);
  list.define<UITraitCollection>(NSObject::cls, [] { return UITraitCollection::make(0); });
}

void resetApplication() {
  shared() = {};
}

}  // namespace host
