#include "startup/added_classes.h"

#include <array>
#include <cstdio>

#include "host/springboard/springboard_selectors.h"
#include "host/uikit/uikit_selectors.h"
#include "notifications/folder_finder.h"

namespace lumora {
namespace {

using rt::id;
using rt::Ref;
using rt::SEL;

constexpr size_t kPropertyCount = 8;
// One association key per property of each class: two classes that both have a
// `lumoraBorder` use two keys.
const std::array<char, kPropertyCount> kKeys{};

template <size_t N>
Ref<> getter(id self, SEL) {
  return rt::objc_getAssociatedObject(self, &kKeys[N]);
}

template <size_t N>
void setter(id self, SEL, id value) {
  rt::objc_setAssociatedObject(self, &kKeys[N], value, rt::AssociationPolicy::RetainNonatomic);
}

template <size_t... N>
constexpr auto getters(std::index_sequence<N...>) {
  return std::array<rt::ImpFor<Ref<>>, sizeof...(N)>{&getter<N>...};
}
template <size_t... N>
constexpr auto setters(std::index_sequence<N...>) {
  return std::array<rt::ImpFor<void, id>, sizeof...(N)>{&setter<N>...};
}
const auto kGetters = getters(std::make_index_sequence<kPropertyCount>());
const auto kSetters = setters(std::make_index_sequence<kPropertyCount>());

// The type encodings, built as the platform code builds them from a format.
std::string encoding(const char* format) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, "@");
  return buffer;
}

// Category NSNotificationCenter(Lumora): whatever the receiver, works on the default
// centre, removing any earlier registration so an observer is registered at most once
// for a name and object.
void addUniqueObserver(id, SEL, id observer, SEL selector, id name, id object) {
  Ref<> center = rt::send(cls::NSNotificationCenter, sel::defaultCenter);
  rt::send(center, sel::removeObserver_name_object, observer, name, object);
  rt::send(center, sel::addObserver_selector_name_object, observer, selector, name, object);
}

}  // namespace

const std::vector<AddedProperty>& addedProperties() {
  static const std::vector<AddedProperty> properties{
      {&cls::WGWidgetPlatterView, "lumoraBorder", "setLumoraBorder:"},
      {&cls::WGWidgetPlatterView, "lumoraFullBorder", "setLumoraFullBorder:"},
      {&cls::WGWidgetPlatterView, "lumoraBackground", "setLumoraBackground:"},
      {&cls::NCNotificationShortLookView, "colorIndicator", "setColorIndicator:"},
      {&cls::NCNotificationShortLookView, "lumoraBorder", "setLumoraBorder:"},
      {&cls::NCNotificationShortLookView, "lumoraBackground", "setLumoraBackground:"},
      {&cls::NCNotificationShortLookView, "imageIndicator", "setImageIndicator:"},
      {&cls::NCNotificationShortLookView, "imageIndicatorCorner", "setImageIndicatorCorner:"},
  };
  static_assert(kPropertyCount == 8);
  return properties;
}

void addPropertyGetter(rt::Class cls, size_t index) {
  const rt::Sel<Ref<>()> name{addedProperties().at(index).getter};
  rt::class_addMethod(cls, name, kGetters.at(index), encoding("%s@:").c_str());
}

void addPropertySetter(rt::Class cls, size_t index) {
  const rt::Sel<void(id)> name{addedProperties().at(index).setter};
  rt::class_addMethod(cls, name, kSetters.at(index), encoding("v@:%s").c_str());
}

void registerSystemClasses() {
  registerFolderFinder();
  // Plain views told apart by their class names only.
  if (rt::Class view = cls::UIView.get()) {
    rt::objc_registerClass(cls::LumoraBackgroundView.name(), view);
    rt::objc_registerClass(cls::LumoraIndicatorView.name(), view);
  }
  rt::class_addMethod(cls::NSNotificationCenter.get(), sel::addUniqueObserver_selector_name_object,
                      &addUniqueObserver, "v@:@:@@");
}

}  // namespace lumora
