// The table of the 68 settings. The values each takes are those the system gives a
// meaning; where it reads every other value one way (stock corners, no border), the
// row says so in `fallback`, and the check repeats it.
#include "prefs/schema.h"

namespace prefs {
namespace {

// The words a notification setting's text uses for its surface.
struct Noun {
  Surface surface;
  const char* suffix;  // "Banner"
  const char* one;     // "a banner"
  const char* own;     // "banner" in "the banner's"
};

constexpr Noun kBanner{Surface::Banner, "Banner", "a banner", "banner"};
constexpr Noun kLockscreen{Surface::Lockscreen, "Lockscreen", "a lockscreen notification",
                           "lockscreen notification"};
constexpr Noun kWidget{Surface::Widget, "Widget", "a widget", "widget"};
constexpr Noun kMediaplayer{Surface::Mediaplayer, "Mediaplayer", "the media player",
                            "media player"};

const char* const kNoBorder = "any other value draws no border";
const char* const kStockCorners = "any other value gives the stock 13-point corners";

Setting row(std::string key, Value value, Surface surface, Form form, std::string label,
            std::string description) {
  Setting s;
  s.key = std::move(key);
  s.kind = kindOf(value);
  s.defaultValue = std::move(value);
  s.surface = surface;
  s.form = form;
  s.label = std::move(label);
  s.description = std::move(description);
  return s;
}

Setting boolean(std::string key, bool value, Surface surface, std::string label,
                std::string description) {
  return row(std::move(key), value, surface, Form::Switch, std::move(label),
             std::move(description));
}

Setting choice(std::string key, std::string value, Surface surface,
               std::vector<std::string> choices, std::string label, std::string description,
               std::string fallback) {
  Setting s = row(std::move(key), std::move(value), surface, Form::Choice, std::move(label),
                  std::move(description));
  s.choices = std::move(choices);
  s.fallback = std::move(fallback);
  return s;
}

// A colour: none, dominant, a colour string, and the extra keywords the setting gives a
// meaning (such as "stock").
Setting colour(std::string key, std::string value, Surface surface, std::string label,
               std::string description, std::vector<std::string> extra = {}) {
  Setting s = row(std::move(key), std::move(value), surface, Form::Colour, std::move(label),
                  std::move(description));
  s.choices = std::move(extra);
  s.fallback = "any other text names no colour";
  return s;
}

Setting range(std::string key, int64_t value, Surface surface, int64_t least, int64_t most,
              std::string label, std::string description) {
  Setting s =
      row(std::move(key), value, surface, Form::Range, std::move(label), std::move(description));
  s.least = least;
  s.most = most;
  s.unit = "points";
  return s;
}

std::string withSuffix(const char* base, const Noun& n) {
  return std::string(base) + n.suffix;
}

// The settings every styled surface has: background, border and corners.
void addFrameSettings(std::vector<Setting>& rows, const Noun& n, const std::string& dominant) {
  const std::string own = n.own;
  rows.push_back(colour(withSuffix("colorBackground", n), "none", n.surface, "Background colour",
                        "Colour painted over the " + own + "'s own background; dominant is " +
                            dominant +
                            " at 60%; a colour with 0.00 in it, such as "
                            "#000000:0.00, also hides the blurred background (see-through)"));
  rows.push_back(colour(withSuffix("borderColor", n), "none", n.surface, "Border colour",
                        "Colour of the " + own + "'s border; none draws no border"));
  rows.push_back(choice(withSuffix("borderPosition", n), "all", n.surface,
                        {"all", "top", "right", "bottom", "left"}, "Border side",
                        "Where the border goes: around all four edges or along one", kNoBorder));
  rows.push_back(range(withSuffix("borderWidth", n), 2, n.surface, 0, 50, "Border width",
                       "Thickness of the border in points"));
  rows.push_back(choice(withSuffix("roundedCorners", n), "stock", n.surface,
                        {"stock", "none", "round", "custom"}, "Corners",
                        "Corners of the " + own +
                            ": stock (13 points), none (square), round (half the height) or "
                            "custom (the custom radius)",
                        kStockCorners));
  rows.push_back(range(withSuffix("customCornerRadius", n), 13, n.surface, -100, 100,
                       "Custom corner radius",
                       "Corner radius in points when the corners are custom; a negative "
                       "radius rounds to half the height, as round does"));
}

std::vector<Setting> notificationSettings(const Noun& n) {
  const std::string one = n.one, own = n.own;
  const bool lockscreen = n.surface == Surface::Lockscreen;
  std::vector<Setting> rows;
  rows.push_back(choice(withSuffix("style", n), "modern", n.surface, {"modern", "classic"}, "Style",
                        "modern hides the header and puts one indicator at the leading edge; "
                        "classic keeps the header, which can be coloured",
                        "any other value applies neither style: header and indicators keep "
                        "the host's look"));
  rows.push_back(choice(withSuffix("indicatorClassic", n), "icon", n.surface,
                        {"icon", "dot", "triangle", "none"}, "Classic indicator",
                        "What the classic header shows in place of its icon: the app icon, a "
                        "dot or a triangle in the indicator colour, or nothing",
                        "any other value shows neither icon nor indicator but keeps the "
                        "icon's room"));
  rows.push_back(colour(withSuffix("indicatorClassicColor", n), "dominant", n.surface,
                        "Classic indicator colour", "Colour of the classic dot or triangle"));
  rows.push_back(choice(withSuffix("indicatorModern", n), "icon", n.surface,
                        {"icon", "dot", "triangle", "line"}, "Modern indicator",
                        "What the modern style shows at the leading edge: the app icon (or "
                        "the sender's picture), a dot, a triangle or a thin line",
                        "any other value shows no indicator"));
  rows.push_back(colour(withSuffix("indicatorModernColor", n), "dominant", n.surface,
                        "Modern indicator colour", "Colour of the modern dot, triangle or line"));
  rows.push_back(range(withSuffix("indicatorModernSize", n), 32, n.surface, 0, 64,
                       "Modern indicator size",
                       "Side of the modern icon in points; a dot or triangle is half of it; "
                       "the line keeps its own size"));
  rows.push_back(choice(withSuffix("forceMode", n), "default", n.surface,
                        {"default", "dark", "light"}, "Forced appearance",
                        lockscreen ? "Dark or light appearance forced on lockscreen "
                                     "notifications and their list; default follows the device"
                                   : "Dark or light appearance forced on banners; default "
                                     "follows the device",
                        "any other value forces nothing, as default does"));
  rows.push_back(colour(withSuffix("colorHeader", n), lockscreen ? "stock" : "dominant", n.surface,
                        "Header colour",
                        "Colour of the classic header strip; stock sets the header on the "
                        "background without a colour of its own; none leaves the host's header",
                        {"stock"}));
  rows.push_back(choice(withSuffix("gradientHeader", n), "no", n.surface,
                        {"no", "ltr", "center", "rtl"}, "Header gradient",
                        "A coloured classic header's gradient: no (flat), or lighter on the "
                        "left (ltr), in the middle (center) or on the right (rtl)",
                        "any other value gives a flat header, as no does"));
  rows.push_back(colour(withSuffix("colorHeaderTitle", n), "none", n.surface, "Header title colour",
                        "Colour of the classic header's title; dominant on a coloured header "
                        "picks white or dark for contrast"));
  rows.push_back(colour(withSuffix("colorHeaderDate", n), "none", n.surface, "Header date colour",
                        "Colour of the classic header's date; dominant contrasts with the "
                        "header or background colour"));
  std::vector<Setting> frame;
  addFrameSettings(frame, n, "the app icon's colour");
  rows.push_back(frame[0]);  // the background
  rows.push_back(colour(withSuffix("colorPrimaryLabel", n), "dominant", n.surface, "Title colour",
                        "Colour of " + one +
                            "'s title; dominant on a dominant background picks white or dark "
                            "for contrast"));
  rows.push_back(colour(withSuffix("colorSecondaryLabel", n), "none", n.surface, "Message colour",
                        "Colour of the message, summary and subtitle text"));
  rows.push_back(boolean(withSuffix("nameAsTitle", n), false, n.surface, "App name as title",
                         "A notification without a title shows its app's name as the title"));
  rows.insert(rows.end(), frame.begin() + 1, frame.end());
  rows.push_back(choice(withSuffix("indicatorRoundedCorner", n), "stock", n.surface,
                        {"stock", "none", "round", "custom"}, "Icon corners",
                        "Corners of the modern app icon: stock (the icon's own mask), none, "
                        "round (a circle) or custom",
                        "any other value clips the icon to 13-point corners"));
  rows.push_back(range(withSuffix("indicatorCustomRoundedCorner", n), 5, n.surface, -100, 100,
                       "Custom icon corner radius",
                       "Icon corner radius in points when the icon corners are custom, at "
                       "most half the icon; a negative radius gives a circle"));
  rows.push_back(boolean(withSuffix("useContactPicture", n), true, n.surface, "Contact picture",
                         "A message from a contact shows the sender's picture instead of the "
                         "app icon (modern style)"));
  rows.push_back(boolean(withSuffix("useContactPictureIcon", n), true, n.surface,
                         "App badge on contact picture",
                         "With a contact picture, the app icon shows as a small badge on it"));
  rows.push_back(colour(withSuffix("contactPictureBorder", n), "none", n.surface,
                        "Contact picture ring",
                        "Colour of a 1-point ring around the contact "
                        "picture"));
  return rows;
}

std::vector<Setting> makeSchema() {
  std::vector<Setting> rows = {
      boolean("enabled", true, Surface::General, "Lumora on",
              "Master switch, read when the home screen starts: off installs nothing"),
      boolean("enableBanners", true, Surface::General, "Restyle banners",
              "Restyle the notification banners shown while the device is in use"),
      boolean("enableLockscreen", true, Surface::General, "Restyle lockscreen notifications",
              "Restyle the notifications on the lockscreen"),
      boolean("enableMediaplayer", true, Surface::General, "Restyle the media player",
              "Restyle the lockscreen media player; off keeps the styling already applied"),
      boolean("enableWidgets", true, Surface::General, "Restyle widgets",
              "Restyle the Today-view widgets, read when the home screen starts"),
  };
  // Each notification setting for banners, then for the lockscreen, key by key.
  const std::vector<Setting> banner = notificationSettings(kBanner);
  const std::vector<Setting> lockscreen = notificationSettings(kLockscreen);
  for (size_t i = 0; i < banner.size(); ++i) {
    rows.push_back(banner[i]);
    rows.push_back(lockscreen[i]);
  }
  rows.push_back(colour("colorHeaderWidget", "none", Surface::Widget, "Header colour",
                        "Colour of a widget's header strip, which moves the content 4 points "
                        "down; with none the header takes the background colour"));
  std::vector<Setting> widget, media;
  addFrameSettings(widget, kWidget, "the widget icon's colour");
  addFrameSettings(media, kMediaplayer, "the average colour of the track's artwork");
  rows.insert(rows.end(), widget.begin(), widget.end());
  rows.insert(rows.end(), media.begin(), media.end());
  return rows;
}

}  // namespace

const std::vector<Setting>& schema() {
  static const std::vector<Setting> rows = makeSchema();
  return rows;
}

}  // namespace prefs
