// A booted host on a scratch device root with a mail app installed, for the benchmarks
// that lay out or draw notifications. The root is removed with it.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/quartz/cgimage.h"
#include "host/springboard/app_registry.h"
#include "host/springboard/notification_request.h"
#include "host/uikit/image.h"

namespace bench {

class MailDevice {
 public:
  // The mail app's icon is 180 x 180 pixels at scale 3. `reset` returns the process to
  // its state before: the host alone, or the whole process once the system is loaded.
  MailDevice(const char* name, const std::vector<uint32_t>& iconPixels,
             void (*reset)() = &host::reset)
      : reset_(reset) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("lumora-bench-" + std::string(name) + "-XXXXXX"))
            .string();
    if (!mkdtemp(pattern.data())) std::abort();
    root_ = pattern;
    host::boot({root_, {}});
    host::installApp(
        {"com.example.mail",
         "Mail",
         "User",
         {},
         false,
         false,
         false,
         host::UIImage::make(host::CGImage::fromPixels(180, 180, iconPixels.data()), 3)});
  }
  ~MailDevice() {
    reset_();
    std::filesystem::remove_all(root_);
  }
  MailDevice(const MailDevice&) = delete;
  MailDevice& operator=(const MailDevice&) = delete;

  // A mail from Maple with the message.
  static rt::Ref<> request(const std::string& message) {
    host::NotificationFields fields;
    fields.section = "com.example.mail";
    fields.title = "Maple";
    fields.message = message;
    return host::NCNotificationRequest::make(fields);
  }

 private:
  void (*reset_)();
  std::filesystem::path root_;
};

}  // namespace bench
