#include "host/springboard/bulletins.h"

#include <deque>
#include <optional>

#include "host/foundation/main_queue.h"
#include "host/host.h"
#include "host/springboard/notification_request.h"
#include "host/springboard/presentation.h"

namespace host {
namespace {

struct Bulletins {
  std::vector<Bulletin> posted;
  std::deque<size_t> waiting;     // indexes of bulletins waiting for their banner
  std::optional<size_t> showing;  // the bulletin whose banner is on screen
  Ref<> manager;
};
Bulletins& state() {
  static Bulletins b;
  return b;
}

std::string text(id object) {
  const std::string* t = stringText(object);
  return t ? *t : std::string();
}

void toLockscreen(Bulletin& bulletin) {
  bulletin.presentation = Bulletin::Presentation::Lockscreen;
  bulletin.controller = showOnLockscreen(bulletin.request.get(), "", false);
}

void showNextBanner();

// Takes the banner away after its time and shows the next.
void scheduleDismissal(size_t index) {
  dispatch_after(dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(kBannerSeconds * 1e9)),
                 dispatch_get_main_queue(), [index] {
                   Bulletins& s = state();
                   // A lock may have taken it away already.
                   if (s.showing != index) return;
                   rt::send(rt::send(s.posted[index].controller, sel::view),
                            sel::removeFromSuperview);
                   s.showing.reset();
                   showNextBanner();
                 });
}

void showNextBanner() {
  Bulletins& s = state();
  if (device().locked) bulletinsAfterLock();
  if (s.showing || s.waiting.empty()) return;
  const size_t index = s.waiting.front();
  s.waiting.pop_front();
  Bulletin& bulletin = s.posted[index];
  bulletin.controller = presentBanner(bulletin.request.get());
  s.showing = index;
  scheduleDismissal(index);
}

}  // namespace

Ref<> JBBulletinManager::showBulletinWithTitle(id title, id message, id bundleID) {
  Bulletins& s = state();
  Bulletin bulletin;
  bulletin.time = static_cast<double>(main_queue::now()) / 1e9;
  bulletin.title = text(title);
  bulletin.message = text(message);
  bulletin.bundleIdentifier = text(bundleID);
  NotificationFields fields;
  fields.section = bulletin.bundleIdentifier;
  fields.title = bulletin.title;
  fields.message = bulletin.message;
  bulletin.request = NCNotificationRequest::make(fields);
  Ref<> request = bulletin.request;
  s.posted.push_back(std::move(bulletin));
  if (device().locked) {
    toLockscreen(s.posted.back());
  } else {
    s.waiting.push_back(s.posted.size() - 1);
    showNextBanner();
  }
  return request;
}

const std::vector<Bulletin>& bulletins() {
  return state().posted;
}

bool isOnScreen(const Bulletin& bulletin) {
  Ref<> view = rt::send(bulletin.controller, sel::view);
  return static_cast<bool>(rt::send(view, sel::window));
}

void bulletinsAfterLock() {
  Bulletins& s = state();
  if (!device().locked) return;
  // The banner on screen has gone with the lock.
  s.showing.reset();
  while (!s.waiting.empty()) {
    toLockscreen(s.posted[s.waiting.front()]);
    s.waiting.pop_front();
  }
}

void JBBulletinManager::bind(ClassBuilder<JBBulletinManager>& b) {
  b.classFunction(
       sel::sharedInstance,
       +[](id, rt::SEL) -> Ref<> {
         Ref<>& manager = state().manager;
         if (!manager) manager = rt::send(JBBulletinManager::cls.get(), sel::new_);
         return manager;
       })
      .method<&JBBulletinManager::showBulletinWithTitle>(
          sel::showBulletinWithTitle_message_bundleID);
}

void defineBulletins(ClassList& list) {
  list.define<JBBulletinManager>(NSObject::cls);
}

void resetBulletins() {
  state() = {};
}

}  // namespace host
