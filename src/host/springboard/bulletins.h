// The bulletin library's JBBulletinManager: `showBulletinWithTitle:message:bundleID:`
// makes a notification request in the app's name (its section) and hands it to the
// host's presentation at once, so it is shown and restyled like any other notification:
// on the lockscreen list while the device is locked, else as a banner.
//
// Banners of bulletins come one at a time: each stays on screen for kBannerSeconds of
// the main queue's clock, then the next waiting one takes its place. Locking the device
// takes banners away; the bulletins still waiting then go to the lockscreen list.
//
// Every bulletin is kept, in posting order, for the dump and the tool's event log.
#pragma once

#include <string>
#include <vector>

#include "host/foundation/values.h"
#include "host/springboard/springboard_selectors.h"

namespace host {

inline constexpr double kBannerSeconds = 5;

struct Bulletin {
  enum class Presentation { Banner, Lockscreen };
  double time = 0;  // seconds of the main queue's clock when it was posted
  std::string title, message, bundleIdentifier;
  // Where it went: a banner (shown now, or waiting for its turn) or the lockscreen list.
  Presentation presentation = Presentation::Banner;
  Ref<> request;
  // Its controller once shown; nil while waiting, and when the host lacks the
  // notification classes.
  Ref<> controller;
};

class JBBulletinManager : public NSObject {
 public:
  static inline const rt::ClassOf<JBBulletinManager> cls{"JBBulletinManager"};
  static void bind(ClassBuilder<JBBulletinManager>& b);
  // Shows the bulletin; answers its notification request (nil without the class).
  Ref<> showBulletinWithTitle(id title, id message, id bundleID);
};

// Every bulletin posted since boot, in order.
const std::vector<Bulletin>& bulletins();
// Whether the bulletin's view is in a window now.
bool isOnScreen(const Bulletin& bulletin);
// Moves the bulletins waiting for a banner to the lockscreen list when the device is
// locked (the lock screen manager calls it after locking).
void bulletinsAfterLock();

void defineBulletins(ClassList& list);
void resetBulletins();

}  // namespace host
