#include "host/springboard/notification_request.h"

namespace host {
namespace {

Ref<> textOrNil(const std::string& text) {
  return text.empty() ? nullptr : NSStr(text);
}

}  // namespace

Ref<> NCNotificationRequest::make(const NotificationFields& fields) {
  if (!cls.get()) return nullptr;
  auto request = cls.make();
  request->section_ = textOrNil(fields.section);
  request->thread_ = textOrNil(fields.thread);
  auto content = NCNotificationContent::cls.make();
  content->title = textOrNil(fields.title);
  content->subtitle = textOrNil(fields.subtitle);
  content->message = textOrNil(fields.message);
  content->attachmentImage = fields.attachmentImage;
  request->content_ = content;
  auto userContent = UNNotificationContent::cls.make();
  userContent->userInfo = fields.userInfo ? fields.userInfo : NSDictionary::make();
  auto userRequest = UNNotificationRequest::cls.make();
  userRequest->content = userContent;
  auto user = UNNotification::cls.make();
  user->request = userRequest;
  request->userNotification_ = user;
  request->context_ = NSDictionary::make();
  request->thumbnail_ = fields.thumbnail;
  return request;
}

void NCNotificationContent::bind(ClassBuilder<NCNotificationContent>& b) {
  b.method<&NCNotificationContent::titleValue>(sel::title)
      .method<&NCNotificationContent::subtitleValue>(sel::subtitle)
      .method<&NCNotificationContent::messageValue>(sel::message)
      .method<&NCNotificationContent::attachmentImageValue>(sel::attachmentImage);
}

void UNNotificationContent::bind(ClassBuilder<UNNotificationContent>& b) {
  b.method<&UNNotificationContent::userInfoValue>(sel::userInfo);
}

void UNNotificationRequest::bind(ClassBuilder<UNNotificationRequest>& b) {
  b.method<&UNNotificationRequest::contentValue>(sel::content);
}

void UNNotification::bind(ClassBuilder<UNNotification>& b) {
  b.method<&UNNotification::requestValue>(sel::request);
}

void NCNotificationRequest::bind(ClassBuilder<NCNotificationRequest>& b) {
  b.method<&NCNotificationRequest::sectionIdentifier>(sel::sectionIdentifier)
      .method<&NCNotificationRequest::threadIdentifier>(sel::threadIdentifier)
      .method<&NCNotificationRequest::content>(sel::content)
      .method<&NCNotificationRequest::userNotification>(sel::userNotification)
      .method<&NCNotificationRequest::context>(sel::context);
}

void defineNotificationRequests(ClassList& list) {
  list.define<NCNotificationContent>(NSObject::cls);
  list.define<UNNotificationContent>(NSObject::cls);
  list.define<UNNotificationRequest>(NSObject::cls);
  list.define<UNNotification>(NSObject::cls);
  list.define<NCNotificationRequest>(NSObject::cls);
}

}  // namespace host
