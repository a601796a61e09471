// Every row of the hook table exercised through a real send. For each replacement a
// probe sends the message to a host object twice, without and with the system loaded;
// under the system's replacement sits a spy standing for the host's implementation, so
// the test sees that the saved implementation ran exactly once and that the answer (or
// the host's visible effect) is what the replacement's body says: today passed on
// unchanged unless the probe says how the replacement adjusts it under the default
// settings (a banner in the modern style with the 32-point icon indicator, which takes
// 53 points). A row without a probe fails, so the table cannot grow untested.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "host/foundation/value_helpers.h"
#include "host/host.h"
#include "host/springboard/springboard_selectors.h"
#include "startup/added_classes.h"
#include "startup/hook_table.h"
#include "startup/loader.h"
#include "support/files.h"

using namespace lumora;
using rt::CGRect;
using rt::CGSize;
using rt::id;
using rt::Ref;
using rt::SEL;

namespace {

// Stands between the system's replacement and the host's implementation.
template <class R, class... A>
struct Spy {
  static inline int calls = 0;
  static inline rt::ImpFor<R, A...> original = nullptr;
  static R imp(id self, SEL cmd, A... args) {
    ++calls;
    return original(self, cmd, args...);
  }
};

struct Probe {
  // Installs the spy on the row's class and answers its call counter.
  std::function<int*()> spy;
  // Sends the message and describes the answer and the host's visible effect.
  std::function<std::string()> run;
  // The answer with the system loaded, given the host's and worked out on the host
  // alone; the host's when not set.
  std::function<std::string(const std::string&)> adjusted;
};

// The probe of the replacement of `sel` on the class, keyed as the table names it.
template <class R, class... A>
std::pair<std::string, Probe> probe(const char* className, const rt::Sel<R(A...)>& sel,
                                    std::function<std::string()> run,
                                    std::function<std::string(const std::string&)> adjusted = {}) {
  return {std::string(className) + " " + sel.name(),
          Probe{[className, &sel] {
                  using S = Spy<R, A...>;
                  S::calls = 0;
                  S::original = nullptr;
                  rt::MSHookMessageEx(rt::objc_getClass(className), sel, &S::imp, &S::original);
                  return S::original ? &S::calls : nullptr;
                },
                std::move(run), std::move(adjusted)}};
}

// The adjustment's answer, whatever the host's was.
std::function<std::string(const std::string&)> becomes(std::string answer) {
  return [answer](const std::string&) { return answer; };
}

Ref<> make(const char* cls) {
  return rt::send(rt::objc_getClass(cls), sel::new_);
}
Ref<> key(id object, const char* name) {
  return rt::send(object, sel::valueForKey, host::NSStr(name));
}
std::string text(id object) {
  return host::formatObject(object);
}
std::string describe(CGRect r) {
  std::ostringstream out;
  out << r.origin.x << "," << r.origin.y << "," << r.size.width << "," << r.size.height;
  return out.str();
}
// The frames of a view's subviews, in order.
std::string subviewFrames(id view) {
  std::string out;
  Ref<> list = rt::send(view, sel::subviews);
  for (uint64_t i = 0; i < rt::send(list, sel::count); ++i)
    out += describe(rt::send(rt::send(list, sel::objectAtIndex, i), sel::frame)) + ";";
  return out;
}
// An options row 359 points wide laid out; its frame and its subviews' frames. With
// `laidOutWidth` other than 359 the row is first given that width, as the replacement
// narrows it before the host lays it out.
std::string optionsRow(rt::CGFloat laidOutWidth) {
  Ref<> options = make("NCAuxiliaryOptionsView");
  rt::send(options, sel::setFrame, rt::CGRectMake(0, 100, 359, 44));
  if (laidOutWidth != 359)
    rt::send(options, sel::setFrame, rt::CGRectMake(0, 100, laidOutWidth, 44));
  rt::send(options, sel::layoutSubviews);
  return describe(rt::send(options, sel::frame)) + " " + subviewFrames(options.get());
}

Ref<> card() {
  Ref<> view = make("NCNotificationShortLookView");
  rt::send(view, sel::setFrame, rt::CGRectMake(0, 0, 359, 87.5));
  return view;
}

std::map<std::string, Probe> probes() {
  std::map<std::string, Probe> p;
  auto add = [&](std::pair<std::string, Probe> entry) { p.insert(std::move(entry)); };
  // A probe that sends the message to a new object of the class and shows nothing else.
  auto sends = [&](const char* cls, const auto& sel, auto... args) {
    add(probe(cls, sel, [cls, &sel, args...] {
      rt::send(make(cls), sel, args...);
      return std::string();
    }));
  };
  // Widgets
  add(probe("WGWidgetListItemViewController", sel::initWithWidgetIdentifier, [] {
    Ref<> c = rt::send(rt::objc_getClass("WGWidgetListItemViewController"), sel::alloc);
    Ref<> result = rt::send(c, sel::initWithWidgetIdentifier, host::NSStr("weather"));
    return std::string(result == c ? "self " : "other ") +
           text(rt::send(result, sel::widgetIdentifier).get());
  }));
  sends("WGWidgetListItemViewController", sel::viewWillAppear, true);
  sends("WGWidgetListItemViewController", sel::viewDidLayoutSubviews);
  add(probe("WGWidgetInfo", sel::_setIcon, [] {
    Ref<> info = make("WGWidgetInfo"), icon = host::NSStr("icon");
    rt::send(info, sel::_setIcon, icon);
    return std::string(rt::send(info, sel::_icon) == icon ? "stored" : "lost");
  }));
  add(probe("WGWidgetPlatterView", sel::_layoutContentView, [] {
    // Under the default uncoloured header the content stays where the host puts it.
    Ref<> platter = make("WGWidgetPlatterView");
    rt::send(platter, sel::setFrame, rt::CGRectMake(0, 0, 359, 150));
    rt::send(platter, sel::_layoutContentView);
    return describe(rt::send(rt::send(platter, sel::contentView), sel::frame));
  }));
  // Notifications
  add(probe(
      "NCNotificationShortLookView", sel::layoutSubviews,
      [] {
        Ref<> view = card();
        rt::send(view, sel::layoutSubviews);
        return subviewFrames(view.get());
      },
      // The content view lifted 14 and moved right by the indicator's 53 points.
      becomes("0,0,359,87.5;0,0,359,87.5;0,0,359,41;53,27,359,46.5;")));
  add(probe("NCNotificationShortLookView", sel::sizeThatFitsContentWithSize, [] {
    Ref<> view = card();
    rt::send(key(key(view.get(), "_notificationContentView").get(), "_secondaryLabel"),
             sel::setText, host::NSStr("Lunch at noon?"));
    const CGSize s = rt::send(view, sel::sizeThatFitsContentWithSize, CGSize{359, 0});
    return describe({{}, s});
  }));
  sends("NCNotificationStructuredListViewController", sel::viewDidLayoutSubviews);
  sends("NCNotificationShortLookViewController", sel::viewDidLayoutSubviews);
  add(probe("BSUIDefaultDateLabel", sel::setFrame, [] {
    // Allocated without init, whose own setFrame: would count too.
    Ref<> label = rt::send(rt::objc_getClass("BSUIDefaultDateLabel"), sel::alloc);
    rt::send(label, sel::setFrame, rt::CGRectMake(300, 4, 40, 16));
    return describe(rt::send(label, sel::frame));
  }));
  add(probe("PLPlatterHeaderContentView", sel::_iconTrailingPadding, [] {
    return std::to_string(rt::send(make("PLPlatterHeaderContentView"), sel::_iconTrailingPadding));
  }));
  add(probe(
      "PLTitledPlatterView", sel::_mainContentFrame,
      [] { return describe(rt::send(card(), sel::_mainContentFrame)); },
      becomes("53,27,359,46.5")));
  add(probe("NCNotificationContentView", sel::setPrimaryText, [] {
    Ref<> content = make("NCNotificationContentView");
    rt::send(content, sel::setPrimaryText, host::NSStr("Maple"));
    return text(rt::send(key(content.get(), "_primaryLabel"), sel::text).get());
  }));
  add(probe(
      "NCNotificationContentView", sel::layoutSubviews,
      [] {
        Ref<> content = make("NCNotificationContentView");
        rt::send(content, sel::setFrame, rt::CGRectMake(0, 41, 359, 46.5));
        rt::send(content, sel::setPrimaryText, host::NSStr("Maple"));
        rt::send(content, sel::layoutSubviews);
        return subviewFrames(content.get());
      },
      // Each label 53 points narrower.
      becomes("10,0,286,18;10,18,286,0;10,18,286,0;10,18,286,0;")));
  add(probe(
      "NCAuxiliaryOptionsView", sel::layoutSubviews, [] { return optionsRow(359); },
      // Narrowed by 53 before the host lays the row out.
      [](const std::string&) { return optionsRow(306); }));
  // Media player
  add(probe("CSMediaControlsView", sel::didMoveToWindow, [] {
    Ref<> window = make("UIWindow"), player = make("CSMediaControlsView");
    rt::send(window, sel::addSubview, player);
    return std::string(rt::send(player, sel::window) == window ? "on screen" : "off");
  }));
  sends("SBMediaController", sel::_mediaRemoteNowPlayingInfoDidChange, nullptr);
  add(probe("CSCoverSheetViewController", sel::loadView, [] {
    Ref<> view = rt::send(make("CSCoverSheetViewController"), sel::view);
    return std::string(view ? "loaded" : "no view");
  }));
  return p;
}

class ReplacementTest : public ::testing::Test {
 protected:
  void SetUp() override { root = testing_support::makeTempRoot("lumora-replace"); }
  void TearDown() override {
    resetProcess();
    std::filesystem::remove_all(root);
  }
  // Boots a fresh host, puts the spy in place, loads the system when asked, and runs
  // the probe: the answer, and how often the host's implementation ran.
  std::pair<std::string, int> run(const Probe& probe, bool loaded) {
    resetProcess();
    host::boot({root, {}});
    int* calls = probe.spy();
    if (loaded) loadSystem();
    if (!calls) return {"no such method on the host", -1};
    std::string answer = probe.run();
    return {answer, *calls};
  }
  std::filesystem::path root;
};

}  // namespace

TEST_F(ReplacementTest, EveryReplacementCallsTheHostOnceAndPassesItsAnswer) {
  const auto all = probes();
  int checked = 0;
  for (const HookRow& row : hookTable()) {
    if (row.kind != HookKind::Replace) continue;
    SCOPED_TRACE(std::string(row.className()) + " " + row.selector);
    auto it = all.find(std::string(row.className()) + " " + row.selector);
    ASSERT_NE(it, all.end()) << "no probe for this replacement";
    const auto [hostAnswer, hostCalls] = run(it->second, false);
    // What the replacement should answer, worked out on the host alone.
    const std::string expected = it->second.adjusted ? it->second.adjusted(hostAnswer) : hostAnswer;
    const auto [answer, calls] = run(it->second, true);
    EXPECT_EQ(hostCalls, 1);
    EXPECT_EQ(calls, 1) << "the saved implementation must run exactly once";
    EXPECT_EQ(answer, expected);
    // The system's replacement is what answers now.
    ++checked;
  }
  EXPECT_EQ(checked, 18);
}
