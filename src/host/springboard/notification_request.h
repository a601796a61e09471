// A notification as the host hands it around: NCNotificationRequest with its content
// (title, subtitle, message, attachment image), the user notification it came from
// (whose request's content carries the sender's user info) and its context.
#pragma once

#include "host/foundation/values.h"
#include "host/springboard/springboard_selectors.h"

namespace host {

// What a notification says, as a scene or a bulletin gives it.
struct NotificationFields {
  std::string section, thread, title, subtitle, message;
  Ref<> userInfo;         // a dictionary, or nil
  Ref<> attachmentImage;  // a UIImage, or nil
  Ref<> thumbnail;        // a UIImage shown at the content's trailing edge, or nil
};

class NCNotificationContent : public NSObject {
 public:
  static inline const rt::ClassOf<NCNotificationContent> cls{"NCNotificationContent"};
  static void bind(ClassBuilder<NCNotificationContent>& b);
  Ref<> title, subtitle, message, attachmentImage;
  Ref<> titleValue() const { return title; }
  Ref<> subtitleValue() const { return subtitle; }
  Ref<> messageValue() const { return message; }
  Ref<> attachmentImageValue() const { return attachmentImage; }
};

// UNNotificationContent, UNNotificationRequest and UNNotification: the user
// notification behind a request, down to its user info.
class UNNotificationContent : public NSObject {
 public:
  static inline const rt::ClassOf<UNNotificationContent> cls{"UNNotificationContent"};
  static void bind(ClassBuilder<UNNotificationContent>& b);
  Ref<> userInfo;
  Ref<> userInfoValue() const { return userInfo; }
};

class UNNotificationRequest : public NSObject {
 public:
  static inline const rt::ClassOf<UNNotificationRequest> cls{"UNNotificationRequest"};
  static void bind(ClassBuilder<UNNotificationRequest>& b);
  Ref<> content;
  Ref<> contentValue() const { return content; }
};

class UNNotification : public NSObject {
 public:
  static inline const rt::ClassOf<UNNotification> cls{"UNNotification"};
  static void bind(ClassBuilder<UNNotification>& b);
  Ref<> request;
  Ref<> requestValue() const { return request; }
};

class NCNotificationRequest : public NSObject {
 public:
  static inline const rt::ClassOf<NCNotificationRequest> cls{"NCNotificationRequest"};
  static void bind(ClassBuilder<NCNotificationRequest>& b);
  // A request of these fields; nil when this host has no NCNotificationRequest.
  static Ref<> make(const NotificationFields& fields);

  Ref<> sectionIdentifier() const { return section_; }
  Ref<> threadIdentifier() const { return thread_; }
  Ref<> content() const { return content_; }
  Ref<> userNotification() const { return userNotification_; }
  Ref<> context() const { return context_; }
  Ref<> thumbnail() const { return thumbnail_; }

 private:
  Ref<> section_, thread_, content_, userNotification_, context_, thumbnail_;
};

void defineNotificationRequests(ClassList& list);

}  // namespace host
