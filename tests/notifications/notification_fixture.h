// A booted host with the system loaded, apps installed, and helpers to set preferences
// and present notifications.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <variant>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"
#include "host/uikit/image.h"
#include "prefs/globals.h"
#include "startup/loader.h"
#include "support/files.h"

namespace testing_support {

class NotificationFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    lumora::resetProcess();
    std::filesystem::remove_all(root);
  }
  void boot(host::Device device = {}, std::set<std::string> absent = {}) {
    root = makeTempRoot("lumora-notifications");
    host::boot({root, std::move(absent), device});
    host::installApp(
        {"com.example.mail", "Mail", "User", {}, false, false, false, icon(0xff3366cc)});
    lumora::loadSystem();
  }
  // An app icon: a ground of the colour with a white glyph, so that it has a dominant
  // colour (an icon of one colour has none).
  static rt::Ref<> icon(uint32_t argb) { return picture(argb, 180, true); }
  // The process loaded afresh on another device, as for the other layout direction.
  void reboot(host::Device device) {
    lumora::resetProcess();
    std::filesystem::remove_all(root);
    boot(device);
  }
  static host::Device rightToLeft() {
    host::Device device;
    device.layoutDirection = host::Device::LayoutDirection::RightToLeft;
    return device;
  }
  static std::array<rt::CGFloat, 4> rgba(rt::id colour) {
    std::array<rt::CGFloat, 4> c{-1, -1, -1, -1};
    rt::send(colour, sel::getRed_green_blue_alpha, &c[0], &c[1], &c[2], &c[3]);
    return c;
  }
  // A square of one colour, with a white glyph when asked.
  static rt::Ref<> picture(uint32_t argb, int side = 180, bool glyph = false) {
    std::vector<uint32_t> pixels(static_cast<size_t>(side) * side, argb);
    for (int y = side / 3; glyph && y < 2 * side / 3; ++y)
      for (int x = side * 5 / 18; x < side * 13 / 18; ++x)
        pixels[static_cast<size_t>(y) * side + x] = ~0u;
    return host::UIImage::make(host::CGImage::fromPixels(side, side, pixels.data()), 3);
  }
  // The do-not-disturb section as an installed system app with an icon.
  static void installDoNotDisturb() {
    host::AppRecord app;
    app.bundleIdentifier = "com.apple.donotdisturb";
    app.name = "Do Not Disturb";
    app.type = "System";
    app.icon = picture(0xff5500aa);
    host::installApp(app);
  }
  // Stores a setting, as the settings panel would.
  static void set(const char* key, std::variant<bool, int64_t, const char*> value) {
    rt::Ref<> object;
    if (auto* b = std::get_if<bool>(&value))
      object = rt::send(cls::NSNumber, sel::numberWithBool, *b);
    if (auto* i = std::get_if<int64_t>(&value))
      object = rt::send(cls::NSNumber, sel::numberWithInteger, *i);
    if (auto* s = std::get_if<const char*>(&value)) object = host::NSStr(*s);
    rt::send(lumora::preferences, sel::setValue_forKey, object, host::NSStr(key));
  }
  static rt::Ref<> request(const char* section = "com.example.mail", const char* title = "Maple",
                           const char* message = "Lunch at noon?", rt::Ref<> thumbnail = nullptr) {
    host::NotificationFields fields;
    fields.section = section;
    fields.title = title ? title : "";
    fields.message = message;
    fields.thumbnail = std::move(thumbnail);
    return host::NCNotificationRequest::make(fields);
  }
  // A Messages notification from the contact named by `person` (no sender for nil).
  static rt::Ref<> messageRequest(const char* person) {
    host::NotificationFields fields;
    fields.section = "com.apple.MobileSMS";
    fields.title = "Ada";
    if (person) {
      rt::Ref<> info = rt::send(cls::NSMutableDictionary, sel::new_);
      rt::send(info, sel::setObject_forKey, host::NSStr(person),
               host::NSStr("CKBBContextKeySenderPersonCentricID"));
      fields.userInfo = info;
    }
    return host::NCNotificationRequest::make(fields);
  }
  static rt::Ref<> key(rt::id object, const char* name) {
    return rt::send(object, sel::valueForKey, host::NSStr(name));
  }
  static void layout() { host::main_queue::drain(); }
  // Presents a banner of the request (the mail app's by default), lays it out, and keeps
  // its controller and parts; answers the controller.
  rt::Ref<> banner(rt::Ref<> req = nullptr) {
    controller = host::presentBanner((req ? req : request()).get());
    layout();
    card = rt::send(controller, sel::viewForPreview);
    header = key(card.get(), "_headerContentView");
    content = key(card.get(), "_notificationContentView");
    return controller;
  }
  // Lays the banner out again, as a change of setting shows at the next layout.
  void relayout() {
    rt::send(rt::send(controller, sel::view), sel::setNeedsLayout);
    layout();
  }
  std::filesystem::path root;
  rt::Ref<> controller, card, header, content;
};

}  // namespace testing_support
